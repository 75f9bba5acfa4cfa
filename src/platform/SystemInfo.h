#pragma once

#include <QString>
#include <QStringList>

namespace platform {

class ProcessLauncher;

// Finds and starts the system's own system-information tool.
class SystemInfo {
public:
    // The programs looked for on the search path, in this order, where there is no registry.
    static const QStringList &toolNames();

    // `searchPaths` empty: the PATH of the environment.
    explicit SystemInfo(QStringList searchPaths = {});

    // The tool's full path, or empty text when there is none.
    QString findTool() const;
    // Starts the tool with a normal, focused window; false when there is none or it could not
    // be started.
    bool start(ProcessLauncher &launcher) const;

private:
    QStringList m_searchPaths;
};

} // namespace platform
