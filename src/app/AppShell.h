#pragma once

#include <QStringList>

#include <optional>

class QTimer;

// What start-up and shutdown need of the windowing side. The GUI implements it with real
// windows; tests can implement it to watch the order of the steps.
class AppShell {
public:
    virtual ~AppShell() = default;
    virtual void setBusy(bool busy) = 0;
    // Lets the player pick one of several game directories found; nothing when they cancel.
    virtual std::optional<QString> chooseGame(const QStringList &gameDirectories) = 0;
    virtual void processEvents() = 0;
    // Creates the main window hidden (its load handler runs now).
    virtual void createMainWindow() = 0;
    // The main window's stats timer; valid once the main window exists.
    virtual QTimer *statsTimer() = 0;
    virtual void showTipsModal() = 0;
    virtual void showPingAllModal() = 0;
    virtual void showMainWindow() = 0;
    // Readies the main window as showing it does, but leaves it in the tray.
    virtual void keepMainWindowInTray() { showMainWindow(); }
    // Takes into the preferences what the player typed but did not yet confirm.
    virtual void commitEdits() {}
    virtual void unloadMainWindow() = 0;
    // Another start of the program on this game directory: show the window in front.
    virtual void bringToFront() {}
};
