#pragma once

#include <optional>

// Whether the desktop shows tray icons. Tests, which run without a desktop, may decide it.
bool systemTrayAvailable();
void overrideSystemTrayAvailable(std::optional<bool> available);
