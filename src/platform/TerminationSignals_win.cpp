#include "platform/TerminationSignals.h"

namespace platform {

// A windowed program here is ended through its windows and the session's logout only.
TerminationSignals::TerminationSignals(QObject *parent)
    : QObject(parent) {}

TerminationSignals::~TerminationSignals() = default;

void TerminationSignals::readPipe() {}

} // namespace platform
