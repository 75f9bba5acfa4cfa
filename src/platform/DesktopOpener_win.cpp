#include "platform/DesktopOpener.h"

#include "platform/ProcessLauncher.h"

#include <QDir>

namespace platform {

void SystemDesktopOpener::open(const QString &path, const QString &,
                               const QString &windowsProgram) {
    LaunchRequest request;
    request.program = windowsProgram;
    request.arguments = {QDir::toNativeSeparators(path)};
    m_launcher.start(request);
}

} // namespace platform
