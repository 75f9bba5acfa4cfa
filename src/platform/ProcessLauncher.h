#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

class QProcess;

namespace platform {

// How the started program's main window should appear (the values are the Windows show modes).
enum class ShowMode { NormalFocused = 1, MaximizedFocused = 3, NormalNotFocused = 4 };

struct LaunchRequest {
    QString program;
    QStringList arguments;
    ShowMode showMode = ShowMode::NormalFocused;
    QMap<QString, QString> extraEnvironment; // added to the program's own environment
    QString workingDirectory;                // empty: the program's current directory
    QString nativeCommandLine; // Windows: the whole command line, used as it stands when set
};

// Starts programs without waiting for them.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Starts the program detached and returns its process id (0 when unknown); throws
    // QuorvelError naming the program and the reason when it cannot be started.
    virtual qint64 start(const LaunchRequest &request) = 0;
};

// Whether the process of `pid` (as `start` returned it) still runs.
bool processRunning(qint64 pid);

// The real thing: a detached child process.
class DetachedProcessLauncher : public ProcessLauncher {
public:
    qint64 start(const LaunchRequest &request) override;

private:
    // Hands the request's native command line to the process where the system has one.
    static void useNativeCommandLine(QProcess &process, const LaunchRequest &request);
};

} // namespace platform
