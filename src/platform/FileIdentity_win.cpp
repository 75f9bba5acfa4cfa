#include "platform/FileIdentity.h"

#include <QFileInfo>

namespace platform {

// An open file cannot be removed here: being there is enough.
FileIdentity fileIdentity(const QString &path) {
    FileIdentity id;
    id.exists = QFileInfo::exists(path);
    return id;
}

} // namespace platform
