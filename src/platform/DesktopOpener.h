#pragma once

#include <QString>

namespace platform {

class ProcessLauncher;

// Opens a directory in the desktop's file manager and a page in the web browser, without
// waiting for either.
class DesktopOpener {
public:
    virtual ~DesktopOpener() = default;
    // Both throw QuorvelError saying what could not be opened and why.
    virtual void openDirectory(const QString &path) = 0;
    virtual void openPage(const QString &path) = 0;
};

// The desktop's own programs: on Windows the file browser and the web browser at its usual
// place; elsewhere whatever the desktop is set up to open directories and pages with.
class SystemDesktopOpener : public DesktopOpener {
public:
    explicit SystemDesktopOpener(ProcessLauncher &launcher);
    void openDirectory(const QString &path) override;
    void openPage(const QString &path) override;

private:
    // Opens `path` when `exists` (`what` names it in the error).
    void openExisting(const QString &path, bool exists, const QString &what,
                      const QString &windowsProgram);
    // Opens an existing `path` with `windowsProgram` on Windows and with the desktop's choice
    // elsewhere.
    void open(const QString &path, const QString &what, const QString &windowsProgram);

    ProcessLauncher &m_launcher;
};

} // namespace platform
