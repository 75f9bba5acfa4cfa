#include "servers/GameCommandLine.h"

#include "platform/WindowsProgram.h"
#include "servers/basUtilities.h"

QString GameCommandLine::windowsText(const QString &rootDirectory, const QString &ip,
                                     const QString &password) {
    QString line = u'"' + rootDirectory + QStringLiteral("GhostRecon.exe") + u'"' +
                   QStringLiteral(" -client ") + AddressForUse(ip);
    if (!password.isEmpty())
        line += QStringLiteral(" -password ") + u'"' + password + u'"';
    return line;
}

platform::LaunchRequest GameCommandLine::request(const QString &rootDirectory, const QString &ip,
                                                 const QString &password) {
    const QString game = rootDirectory + QStringLiteral("GhostRecon.exe");
    QStringList arguments{QStringLiteral("-client"), AddressForUse(ip)};
    if (!password.isEmpty())
        arguments << QStringLiteral("-password") << password;
    return platform::windowsProgramRequest(game, arguments, platform::ShowMode::MaximizedFocused,
                                           windowsText(rootDirectory, ip, password));
}
