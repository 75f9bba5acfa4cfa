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
    explicit frmTips(QWidget *parent = nullptr);
    ~frmTips() override;

    void setRoot(clsGRQuorvel *root) { m_root = root; }

    // Shows the tip the preferences name next and moves them on by one.
    void ShowNextTip();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    clsGRQuorvel *m_root = nullptr;
    QLabel *m_lblTip;
    QCheckBox *m_chkShowTips;
    QLabel *m_lblShowTips;
};
