#include "platform/Display.h"

namespace platform {

// The desktop is always there.
bool windowSystemNamed() {
    return true;
}

} // namespace platform
