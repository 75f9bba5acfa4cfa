#pragma once

#include "app/AppShell.h"

#include <functional>
#include <memory>

class CommonDialog;
class clsGRQuorvel;
class frmMain;

// Start-up's and shutdown's windows, for real.
class QtAppShell : public AppShell {
public:
    // `commonDialog` may be replaced by tests (the main window takes ownership).
    explicit QtAppShell(clsGRQuorvel &root, CommonDialog *commonDialog = nullptr);
    ~QtAppShell() override;

    void setBusy(bool busy) override;
    std::optional<QString> chooseGame(const QStringList &gameDirectories) override;
    void processEvents() override;
    void createMainWindow() override;
    QTimer *statsTimer() override;
    void showTipsModal() override;
    void showPingAllModal() override;
    void showMainWindow() override;
    void keepMainWindowInTray() override;
    void commitEdits() override;
    void unloadMainWindow() override;
    void bringToFront() override;
    // Destroys the main window and every window it holds.
    void releaseWindows();

    frmMain *mainWindow() const { return m_main.get(); }

private:
    // What showing the main window needs done first.
    void readyMainWindow();

    clsGRQuorvel &m_root;
    CommonDialog *m_commonDialog;
    std::unique_ptr<frmMain> m_main;
    int m_busyDepth = 0;
    bool m_mainPlaced = false; // start-up shown the main window or left it in the tray
};
