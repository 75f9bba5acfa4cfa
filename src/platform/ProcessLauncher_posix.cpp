#include "platform/ProcessLauncher.h"

#include <QProcess>

#include <cerrno>

#include <signal.h>

namespace platform {

// A POSIX program receives its arguments one by one; there is no command line to hand over.
void DetachedProcessLauncher::useNativeCommandLine(QProcess &, const LaunchRequest &) {}

bool processRunning(qint64 pid) {
    // A detached process is nobody's child here: once it ends, it is gone, not a zombie.
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

} // namespace platform
