#include "platform/SystemInfo.h"

#include "platform/ProcessLauncher.h"

#include <exception>

namespace platform {

const QStringList &SystemInfo::toolNames() {
    static const QStringList names = {
        QStringLiteral("hardinfo2"),
        QStringLiteral("hardinfo"),
        QStringLiteral("kinfocenter"),
        QStringLiteral("gnome-system-monitor"),
    };
    return names;
}

SystemInfo::SystemInfo(QStringList searchPaths)
    : m_searchPaths(std::move(searchPaths)) {}

bool SystemInfo::start(ProcessLauncher &launcher) const {
    const QString tool = findTool();
    if (tool.isEmpty())
        return false;
    try {
        LaunchRequest request;
        request.program = tool;
        request.showMode = ShowMode::NormalFocused;
        launcher.start(request);
    } catch (const std::exception &) {
        return false;
    }
    return true;
}

} // namespace platform
