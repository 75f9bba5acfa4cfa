#include "servers/GameCommandLine.h"

#include <QDir>
#include <QStandardPaths>

QString GameCommandLine::windowsText(const QString &rootDirectory, const QString &ip,
                                     const QString &password) {
    QString line = u'"' + rootDirectory + QStringLiteral("GhostRecon.exe") + u'"' +
                   QStringLiteral(" -client ") + ip;
    if (!password.isEmpty())
        line += QStringLiteral(" -password ") + u'"' + password + u'"';
    return line;
}

QString GameCommandLine::winePrefixOf(const QString &rootDirectory) {
    const QString dir = QDir::fromNativeSeparators(rootDirectory);
    const qsizetype at = dir.indexOf(QStringLiteral("/drive_c/"));
    if (at <= 0)
        return {};
    return dir.left(at);
}

QString GameCommandLine::wineRunner() {
    const QString chosen = qEnvironmentVariable("GRQUORVEL_WINE");
    if (!chosen.isEmpty())
        return chosen;
    const QString found = QStandardPaths::findExecutable(QStringLiteral("wine"));
    return found.isEmpty() ? QStringLiteral("wine") : found;
}

platform::LaunchRequest GameCommandLine::request(const QString &rootDirectory, const QString &ip,
                                                 const QString &password) {
    platform::LaunchRequest request;
    request.showMode = platform::ShowMode::MaximizedFocused;
#ifdef Q_OS_WIN
    request.program = rootDirectory + QStringLiteral("GhostRecon.exe");
    request.nativeCommandLine = windowsText(rootDirectory, ip, password);
#else
    request.program = wineRunner();
    request.arguments = {rootDirectory + QStringLiteral("GhostRecon.exe"),
                         QStringLiteral("-client"), ip};
    if (!password.isEmpty())
        request.arguments << QStringLiteral("-password") << password;
    const QString prefix = winePrefixOf(rootDirectory);
    if (!prefix.isEmpty())
        request.extraEnvironment.insert(QStringLiteral("WINEPREFIX"), prefix);
#endif
    return request;
}
