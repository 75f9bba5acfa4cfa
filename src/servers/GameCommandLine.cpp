#include "servers/GameCommandLine.h"

#include "platform/GameFinder.h"
#include "platform/WindowsProgram.h"
#include "servers/basUtilities.h"

#include <QFileInfo>

QString GameCommandLine::gamePath(const QString &rootDirectory) {
    const QString found = platform::gameExecutableIn(rootDirectory);
    return rootDirectory +
           (found.isEmpty() ? QStringLiteral("GhostRecon.exe") : QFileInfo(found).fileName());
}

QString GameCommandLine::windowsText(const QString &rootDirectory, const QString &ip,
                                     const QString &password) {
    QString line =
        u'"' + gamePath(rootDirectory) + u'"' + QStringLiteral(" -client ") + AddressForUse(ip);
    if (!password.isEmpty())
        line += QStringLiteral(" -password ") + u'"' + password + u'"';
    return line;
}

platform::LaunchRequest GameCommandLine::request(const QString &rootDirectory, const QString &ip,
                                                 const QString &password) {
    const QString game = gamePath(rootDirectory);
    QStringList arguments{QStringLiteral("-client"), AddressForUse(ip)};
    if (!password.isEmpty())
        arguments << QStringLiteral("-password") << password;
    return platform::windowsProgramRequest(game, arguments, platform::ShowMode::MaximizedFocused,
                                           windowsText(rootDirectory, ip, password));
}
