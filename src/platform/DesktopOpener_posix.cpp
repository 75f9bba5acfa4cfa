#include "platform/DesktopOpener.h"

#include "common/QuorvelError.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace platform {

// The Windows programs are of no use here: the desktop knows what opens directories and pages.
void SystemDesktopOpener::open(const QString &path, const QString &what, const QString &) {
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        throw QuorvelError(QCoreApplication::translate("DesktopOpener",
                                                       "Could not open %1 %2: no program of the "
                                                       "desktop would open it")
                               .arg(what, QDir::toNativeSeparators(path)));
}

} // namespace platform
