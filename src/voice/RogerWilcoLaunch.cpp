#include "voice/RogerWilcoLaunch.h"

QStringList rogerWilcoArguments(const QString &channel, const QString &password) {
    QStringList args{QStringLiteral("/leave"), QStringLiteral("/join1"), channel};
    if (!password.isEmpty())
        args << password;
    return args;
}
