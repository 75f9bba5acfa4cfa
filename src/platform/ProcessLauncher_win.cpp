#include "platform/ProcessLauncher.h"

#include <QProcess>

#include <windows.h>

namespace platform {

void DetachedProcessLauncher::useNativeCommandLine(QProcess &process,
                                                   const LaunchRequest &request) {
    if (request.nativeCommandLine.isEmpty())
        return;
    // The line starts with the quoted program, which QProcess writes the same way; the rest goes
    // to CreateProcess as it stands.
    const QString quoted = u'"' + request.program + u'"';
    QString rest = request.nativeCommandLine;
    if (rest.startsWith(quoted))
        rest.remove(0, quoted.size());
    process.setArguments({});
    process.setNativeArguments(rest.trimmed());
}

bool processRunning(qint64 pid) {
    if (pid <= 0)
        return false;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (!process)
        return false;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

} // namespace platform
