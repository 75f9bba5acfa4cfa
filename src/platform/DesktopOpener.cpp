#include "platform/DesktopOpener.h"

#include "common/QuorvelError.h"
#include "platform/ProcessLauncher.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace platform {

namespace {
// Opens an existing `path` (`what` names it in the error) with `windowsProgram` on Windows and
// with the desktop's choice elsewhere.
void openExisting(ProcessLauncher &launcher, const QString &path, bool exists, const QString &what,
                  const QString &windowsProgram) {
    if (!exists)
        throw QuorvelError(QStringLiteral("Could not open the %1 %2: it does not exist")
                               .arg(what, QDir::toNativeSeparators(path)));
#ifdef Q_OS_WIN
    LaunchRequest request;
    request.program = windowsProgram;
    request.arguments = {QDir::toNativeSeparators(path)};
    launcher.start(request);
#else
    Q_UNUSED(launcher);
    Q_UNUSED(windowsProgram);
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        throw QuorvelError(QStringLiteral("Could not open the %1 %2: no program of the desktop "
                                          "would open it")
                               .arg(what, QDir::toNativeSeparators(path)));
#endif
}
} // namespace

SystemDesktopOpener::SystemDesktopOpener(ProcessLauncher &launcher)
    : m_launcher(launcher) {}

void SystemDesktopOpener::openDirectory(const QString &path) {
    openExisting(m_launcher, path, QFileInfo(path).isDir(), QStringLiteral("directory"),
                 QStringLiteral("explorer.exe"));
}

void SystemDesktopOpener::openPage(const QString &path) {
    openExisting(m_launcher, path, QFileInfo(path).isFile(), QStringLiteral("page"),
                 QStringLiteral("C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE"));
}

} // namespace platform
