#include "platform/FileIdentity.h"

#include <QFile>

#include <sys/stat.h>

namespace platform {

FileIdentity fileIdentity(const QString &path) {
    FileIdentity id;
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
        id.exists = true;
        id.device = static_cast<quint64>(st.st_dev);
        id.inode = static_cast<quint64>(st.st_ino);
    }
    return id;
}

} // namespace platform
