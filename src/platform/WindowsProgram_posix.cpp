#include "platform/WindowsProgram.h"

#include <QDir>

namespace platform {

LaunchRequest windowsProgramRequest(const QString &program, const QStringList &arguments,
                                    ShowMode showMode, const QString &) {
    LaunchRequest request;
    request.showMode = showMode;
    request.program = wineRunner();
    request.arguments = QStringList{program} + arguments;
    if (const QString prefix = winePrefixFor(program); !prefix.isEmpty())
        request.extraEnvironment.insert(QStringLiteral("WINEPREFIX"), prefix);
    return request;
}

QString programFilesDirectory(const QString &path) {
    // The prefix's drive_c directory is the program's C: drive.
    const QString unixPath = QDir::fromNativeSeparators(path);
    const QString marker = QStringLiteral("/drive_c/");
    const qsizetype at = unixPath.indexOf(marker);
    if (at < 0)
        return {};
    return unixPath.left(at + marker.size()) + QStringLiteral("Program Files");
}

} // namespace platform
