#pragma once

#include <QString>
#include <QtGlobal>

namespace platform {

// Which file a path names now. A file removed (or put back anew) while it is open is written
// on unseen, and everything written into it is lost: comparing identities tells.
struct FileIdentity {
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    bool operator==(const FileIdentity &) const = default;
};

FileIdentity fileIdentity(const QString &path);

} // namespace platform
