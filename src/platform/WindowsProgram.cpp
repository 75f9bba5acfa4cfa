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

} // namespace platform
