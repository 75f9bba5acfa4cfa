#include "platform/DesktopOpener.h"

#include "common/QuorvelError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform {

SystemDesktopOpener::SystemDesktopOpener(ProcessLauncher &launcher)
    : m_launcher(launcher) {}

void SystemDesktopOpener::openDirectory(const QString &path) {
    openExisting(path, QFileInfo(path).isDir(),
                 QCoreApplication::translate("DesktopOpener", "the directory"),
                 QStringLiteral("explorer.exe"));
}

void SystemDesktopOpener::openPage(const QString &path) {
    openExisting(path, QFileInfo(path).isFile(),
                 QCoreApplication::translate("DesktopOpener", "the page"),
                 QStringLiteral("C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE"));
}

void SystemDesktopOpener::openExisting(const QString &path, bool exists, const QString &what,
                                       const QString &windowsProgram) {
    if (!exists)
        throw QuorvelError(
            QCoreApplication::translate("DesktopOpener", "Could not open %1 %2: it does not exist")
                .arg(what, QDir::toNativeSeparators(path)));
    open(path, what, windowsProgram);
}

} // namespace platform
