#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class clsGRQuorvel;

// The tip of the day: one of the fixed tips at a time, in turn across runs, and the switch
// that decides whether it opens at start-up.
class frmTips : public QDialog {
    Q_OBJECT
public:
    explicit frmTips(clsGRQuorvel &root, QWidget *parent = nullptr);
    ~frmTips() override;

    clsGRQuorvel &Root() const { return m_root; }

    // Shows the tip the preferences name next and moves them on by one.
    void ShowNextTip();

protected:
private:
    clsGRQuorvel &m_root;
    QLabel *m_lblTip;
    QCheckBox *m_chkShowTips;
    QLabel *m_lblShowTips;
};
