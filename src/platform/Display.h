#pragma once

namespace platform {

// Whether the environment names a window system to show windows on (or none needs naming).
bool windowSystemNamed();

} // namespace platform
