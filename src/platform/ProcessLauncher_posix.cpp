#include "platform/ProcessLauncher.h"

#include <QProcess>

namespace platform {

// A POSIX program receives its arguments one by one; there is no command line to hand over.
void DetachedProcessLauncher::useNativeCommandLine(QProcess &, const LaunchRequest &) {}

} // namespace platform
