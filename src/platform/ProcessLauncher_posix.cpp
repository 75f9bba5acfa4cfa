#include "platform/ProcessLauncher.h"

#include <QFile>
#include <QProcess>

#include <cerrno>

#include <signal.h>

namespace platform {

// A POSIX program receives its arguments one by one; there is no command line to hand over.
void DetachedProcessLauncher::useNativeCommandLine(QProcess &, const LaunchRequest &) {}

bool processRunning(qint64 pid) {
    if (pid <= 0 || (::kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM))
        return false;
    // A detached process belongs to the system's first process, which may be slow to reap it:
    // an ended one waiting for that is not running.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    const qsizetype after = line.lastIndexOf(')');
    return after < 0 || line.mid(after + 2, 1) != "Z";
}

} // namespace platform
