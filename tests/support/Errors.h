#pragma once

#include "common/QuorvelError.h"

#include <functional>

// The description of the QuorvelError `step` throws; empty when it throws none.
inline QString errorFrom(const std::function<void()> &step) {
    try {
        step();
    } catch (const QuorvelError &e) {
        return e.description();
    }
    return {};
}
