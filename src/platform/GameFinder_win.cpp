#include "platform/GameFinder.h"

#include <QDir>

namespace platform {

QString developmentGameDirectory(const QString &executableDirectory) {
    if (!QDir::toNativeSeparators(executableDirectory)
             .contains(QStringLiteral("DevelopmentRoot\\Development")))
        return {};
    return QStringLiteral("C:\\Program Files\\_Games\\Red Storm Entertainment\\Ghost Recon\\");
}

} // namespace platform
