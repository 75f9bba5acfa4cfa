#include "platform/WindowsProgram.h"

#include <QDir>

namespace platform {

QString wineRunner() {
    const QString configured = qEnvironmentVariable("GRQUORVEL_WINE");
    return configured.isEmpty() ? QStringLiteral("wine") : configured;
}

QString winePrefixFor(const QString &path) {
    const QString unixPath = QDir::fromNativeSeparators(path);
    const qsizetype at = unixPath.indexOf(QStringLiteral("/drive_c/"), 0, Qt::CaseInsensitive);
    if (at <= 0)
        return {};
    return unixPath.left(at);
}

LaunchRequest windowsProgramRequest(const QString &program, const QStringList &arguments,
                                    ShowMode showMode) {
    LaunchRequest request;
    request.showMode = showMode;
#ifdef Q_OS_WIN
    request.program = program;
    request.arguments = arguments;
#else
    request.program = wineRunner();
    request.arguments = QStringList{program} + arguments;
    if (const QString prefix = winePrefixFor(program); !prefix.isEmpty())
        request.extraEnvironment.insert(QStringLiteral("WINEPREFIX"), prefix);
#endif
    return request;
}

} // namespace platform
