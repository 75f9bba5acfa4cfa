#include "widgets/SystemTray.h"

#include <QSystemTrayIcon>

namespace {
std::optional<bool> s_override;
}

bool systemTrayAvailable() {
    return s_override ? *s_override : QSystemTrayIcon::isSystemTrayAvailable();
}

void overrideSystemTrayAvailable(std::optional<bool> available) {
    s_override = available;
}
