#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QProgressBar;
class QPushButton;
class AppRoot;

// Measures the round trip of every server, many echoes at a time, with a progress bar and
// Cancel; closes itself when done. Opened modally.
class frmPingAll : public QDialog {
    Q_OBJECT
public:
    // How many echoes this window keeps on the wire at once.
    static constexpr int window = 128;

    frmPingAll(AppRoot &root, QWidget *parent = nullptr);
    ~frmPingAll() override;

    AppRoot &Root() const { return m_root; }
    bool CancelRequested() const { return m_cancelRequested; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void activate();
    void startMore();
    void cmdCancel_Click();

    AppRoot &m_root;
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
