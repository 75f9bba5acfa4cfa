#include "platform/ProcessLauncher.h"

#include "common/QuorvelError.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

namespace platform {

qint64 DetachedProcessLauncher::start(const LaunchRequest &request) {
    QProcess process;
    process.setProgram(request.program);
    process.setArguments(request.arguments);
    useNativeCommandLine(process, request);
    if (!request.workingDirectory.isEmpty())
        process.setWorkingDirectory(request.workingDirectory);
    if (!request.extraEnvironment.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (auto it = request.extraEnvironment.cbegin(); it != request.extraEnvironment.cend();
             ++it)
            env.insert(it.key(), it.value());
        process.setProcessEnvironment(env);
    }
    // Show modes have no meaning for an X11/Wayland child; the window manager decides.
    qint64 pid = 0;
    if (!process.startDetached(&pid)) {
        QString reason = process.errorString();
        if (!QFileInfo::exists(request.program) && request.program.contains(u'/'))
            reason = QCoreApplication::translate("ProcessLauncher", "No such file");
        throw QuorvelError(QCoreApplication::translate("ProcessLauncher", "Could not start %1: %2")
                               .arg(request.program, reason));
    }
    return pid;
}

} // namespace platform
