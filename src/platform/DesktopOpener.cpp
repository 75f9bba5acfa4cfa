#include "platform/DesktopOpener.h"

#include "common/QuorvelError.h"
#include "platform/ProcessLauncher.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace platform {

namespace {
#ifdef Q_OS_WIN
const QString fileBrowser = QStringLiteral("explorer.exe");
const QString webBrowser = QStringLiteral("C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE");
#endif

#ifndef Q_OS_WIN
void openWithDesktop(const QString &path, const QString &what) {
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        throw QuorvelError(QStringLiteral("Could not open the %1 %2: no program of the desktop "
                                          "would open it")
                               .arg(what, QDir::toNativeSeparators(path)));
}
#endif
} // namespace

SystemDesktopOpener::SystemDesktopOpener(ProcessLauncher &launcher)
    : m_launcher(launcher) {}

void SystemDesktopOpener::openDirectory(const QString &path) {
    if (!QFileInfo(path).isDir())
        throw QuorvelError(QStringLiteral("Could not open the directory %1: it does not exist")
                               .arg(QDir::toNativeSeparators(path)));
#ifdef Q_OS_WIN
    LaunchRequest request;
    request.program = fileBrowser;
    request.arguments = {QDir::toNativeSeparators(path)};
    m_launcher.start(request);
#else
    Q_UNUSED(m_launcher);
    openWithDesktop(path, QStringLiteral("directory"));
#endif
}

void SystemDesktopOpener::openPage(const QString &path) {
    if (!QFileInfo(path).isFile())
        throw QuorvelError(QStringLiteral("Could not open the page %1: it does not exist")
                               .arg(QDir::toNativeSeparators(path)));
#ifdef Q_OS_WIN
    LaunchRequest request;
    request.program = webBrowser;
    request.arguments = {QDir::toNativeSeparators(path)};
    m_launcher.start(request);
#else
    Q_UNUSED(m_launcher);
    openWithDesktop(path, QStringLiteral("page"));
#endif
}

} // namespace platform
