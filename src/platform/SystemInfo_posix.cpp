#include "platform/SystemInfo.h"

#include <QStandardPaths>

namespace platform {

QString SystemInfo::findTool() const {
    for (const QString &name : toolNames()) {
        const QString path = QStandardPaths::findExecutable(name, m_searchPaths);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

} // namespace platform
