#include "voice/RogerWilcoLaunch.h"

QStringList rogerWilcoArguments(const QString &channel, const QString &password) {
    QStringList args{QStringLiteral("/leave"), QStringLiteral("/join1"), channel};
    if (!password.isEmpty())
        args << password;
    return args;
}

QString rogerWilcoCommandLine(const QString &exe, const QString &channel, const QString &password) {
    QString line = u'"' + exe + u'"' + QStringLiteral(" /leave /join1 ") + channel;
    if (!password.isEmpty())
        line += u' ' + password;
    return line;
}
