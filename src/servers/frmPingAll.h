#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QProgressBar;
class QPushButton;
class clsGRQuorvel;

// Measures the round trip of every server, many echoes at a time, with a progress bar and
// Cancel; closes itself when done. Opened modally.
class frmPingAll : public QDialog {
    Q_OBJECT
public:
    // How many echoes this window keeps on the wire at once.
    static constexpr int window = 128;

    frmPingAll(clsGRQuorvel *root, QWidget *parent = nullptr);
    ~frmPingAll() override;

    void setRoot(clsGRQuorvel *in_obj) { m_root = in_obj; }
    bool CancelRequested() const { return m_cancelRequested; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void activate();
    void startMore();
    void cmdCancel_Click();

    clsGRQuorvel *m_root;
    bool m_started = false;
    bool m_cancelRequested = false;
    QStringList m_keys;
    int m_next = 0;
    int m_inFlight = 0;
    QLabel *m_lblPingStatus;
    QLabel *m_lblPingNote;
    QProgressBar *m_pbrPingedServers;
    QPushButton *m_cmdCancel;
};
