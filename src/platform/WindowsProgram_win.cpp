#include "platform/WindowsProgram.h"

namespace platform {

LaunchRequest windowsProgramRequest(const QString &program, const QStringList &arguments,
                                    ShowMode showMode, const QString &windowsCommandLine) {
    LaunchRequest request;
    request.showMode = showMode;
    request.program = program;
    request.arguments = arguments;
    request.nativeCommandLine = windowsCommandLine;
    return request;
}

QString programFilesDirectory(const QString &) {
    return QStringLiteral("C:\\Program Files");
}

} // namespace platform
