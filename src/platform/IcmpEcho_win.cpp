#include "platform/IcmpEcho.h"

// No ICMP socket is opened here (kind() stays None), so the program measures with the status
// query's round trip instead.

namespace platform {

void IcmpEcho::openSocket(Prefer) {
    m_unavailableReason = tr("ICMP echo is not built for this system");
}

void IcmpEcho::closeSocket() {}

qint32 IcmpEcho::sendPacket(quint32, const QByteArray &) {
    return GeneralFailure;
}

void IcmpEcho::readPending() {}

void IcmpEcho::readErrors() {}

qint64 IcmpEcho::wallClockNs() {
    return 0;
}

} // namespace platform
