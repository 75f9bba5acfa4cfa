#include "platform/IcmpEcho.h"

#include "platform/IcmpPacket.h"

#include <QSocketNotifier>
#include <QStringList>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/errqueue.h>
#include <linux/icmp.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

namespace platform {

namespace {
QString errnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// What one receive fills: the bytes, the address and the ancillary data.
struct Received {
    iovec io{};
    msghdr message{};
};

// One datagram (or, with MSG_ERRQUEUE, one queued error) into `buffer`, its address into
// `address` and its ancillary data into `control`.
template <size_t BufferSize, size_t ControlSize>
ssize_t receive(int fd, char (&buffer)[BufferSize], sockaddr_in &address,
                char (&control)[ControlSize], Received &r, int flags) {
    r.io = {buffer, BufferSize};
    msghdr &message = r.message;
    message = {};
    message.msg_name = &address;
    message.msg_namelen = sizeof address;
    message.msg_iov = &r.io;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = ControlSize;
    return ::recvmsg(fd, &message, flags | MSG_DONTWAIT);
}

// The kernel's time of arrival carried by a control message; 0 for any other message.
qint64 arrivalNs(const cmsghdr *c) {
    if (c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_TIMESTAMPNS)
        return 0;
    timespec stamp{};
    std::memcpy(&stamp, CMSG_DATA(c), sizeof stamp);
    return qint64(stamp.tv_sec) * 1000000000 + stamp.tv_nsec;
}
} // namespace

void IcmpEcho::openSocket(Prefer prefer) {
    int datagramError = 0;
    if (prefer == Prefer::Auto || prefer == Prefer::DatagramOnly) {
        // Unprivileged echo sockets, allowed for the groups in net.ipv4.ping_group_range.
        m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (m_fd >= 0)
            m_kind = Kind::Datagram;
        else
            datagramError = errno;
    }
    int rawError = 0;
    if (m_fd < 0 && (prefer == Prefer::Auto || prefer == Prefer::RawOnly)) {
        m_fd = ::socket(AF_INET, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (m_fd >= 0) {
            m_kind = Kind::Raw;
            // A raw socket sees every ICMP message of the host; keep only what can answer us.
            icmp_filter filter{};
            filter.data = ~((1u << icmp::typeEchoReply) | (1u << icmp::typeUnreachable) |
                            (1u << icmp::typeTimeExceeded));
            ::setsockopt(m_fd, SOL_RAW, ICMP_FILTER, &filter, sizeof filter);
        } else {
            rawError = errno;
        }
    }
    if (m_fd < 0) {
        QStringList why;
        if (datagramError)
            why << tr("echo sockets: %1 (this user's group is not in "
                      "net.ipv4.ping_group_range)")
                       .arg(errnoText(datagramError));
        if (rawError)
            why << tr("raw sockets: %1 (they need CAP_NET_RAW)").arg(errnoText(rawError));
        m_unavailableReason = tr("The system permits no ICMP socket to this user (%1)")
                                  .arg(why.join(QStringLiteral("; ")));
        return;
    }
    const int ttl = 255;
    ::setsockopt(m_fd, IPPROTO_IP, IP_TTL, &ttl, sizeof ttl);
    // The kernel stamps each reply as it arrives, so a busy event loop does not add to the
    // round trip.
    const int on = 1;
    ::setsockopt(m_fd, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
    // Datagram echo sockets hear of unreachable hosts only through their error queue.
    if (m_kind == Kind::Datagram)
        ::setsockopt(m_fd, IPPROTO_IP, IP_RECVERR, &on, sizeof on);
    const int buffer = 1 << 20;
    ::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    // The kernel puts its own identifier on datagram echo sockets; raw ones carry ours.
    m_identifier = static_cast<quint16>((::getpid() ^ reinterpret_cast<quintptr>(this)) & 0xffff);
    m_sequence = static_cast<quint16>(reinterpret_cast<quintptr>(this) >> 4);
    m_notifier = new QSocketNotifier(static_cast<qintptr>(m_fd), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &IcmpEcho::readPending);
}

void IcmpEcho::closeSocket() {
    if (m_fd >= 0)
        ::close(m_fd);
}

qint32 IcmpEcho::sendPacket(quint32 ipv4, const QByteArray &packet) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(ipv4);
    const ssize_t sent = ::sendto(m_fd, packet.constData(), static_cast<size_t>(packet.size()), 0,
                                  reinterpret_cast<const sockaddr *>(&to), sizeof to);
    if (sent == packet.size())
        return Success;
    // No route, or the address cannot be reached from here at all.
    const bool unreachable = errno == ENETUNREACH || errno == EHOSTUNREACH;
    return unreachable ? qint32(DestinationHostUnreachable) : qint32(GeneralFailure);
}

void IcmpEcho::readErrors() {
    // Each queued error carries the echo request it is about, from its ICMP header on.
    constexpr int batch = 64;
    for (int n = 0; n < batch; ++n) {
        char buffer[576];
        sockaddr_in to{};
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(sock_extended_err) + sizeof(sockaddr_in)) +
                                      CMSG_SPACE(sizeof(timespec))];
        Received received;
        msghdr &message = received.message;
        const ssize_t size = receive(m_fd, buffer, to, control, received, MSG_ERRQUEUE);
        if (size < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        const sock_extended_err *error = nullptr;
        qint64 arrivedWallNs = 0;
        for (cmsghdr *c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
            if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_RECVERR)
                error = reinterpret_cast<const sock_extended_err *>(CMSG_DATA(c));
            if (const qint64 stamp = arrivalNs(c))
                arrivedWallNs = stamp;
        }
        if (!error || error->ee_origin != SO_EE_ORIGIN_ICMP || size < 8 ||
            static_cast<quint8>(buffer[0]) != icmp::typeEchoRequest)
            continue;
        sockaddr_in offender{};
        std::memcpy(&offender, SO_EE_OFFENDER(error), sizeof offender);
        const quint16 sequence = static_cast<quint16>((static_cast<quint8>(buffer[6]) << 8) |
                                                      static_cast<quint8>(buffer[7]));
        handleError(sequence, ntohl(to.sin_addr.s_addr), ntohl(offender.sin_addr.s_addr),
                    error->ee_type, error->ee_code, arrivedWallNs);
    }
}

qint64 IcmpEcho::wallClockNs() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

void IcmpEcho::readPending() {
    // One batch per turn of the event loop, so that a flood (a raw socket sees every ICMP
    // message of the host) cannot hold the program up. The notifier fires again on the next
    // turn while anything is left unread.
    constexpr int batch = 64;
    char buffer[1500];
    if (m_kind == Kind::Datagram)
        readErrors();
    for (int n = 0; n < batch; ++n) {
        sockaddr_in from{};
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(timespec))];
        Received received;
        msghdr &message = received.message;
        const ssize_t size = receive(m_fd, buffer, from, control, received, 0);
        if (size < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        qint64 arrivedWallNs = 0;
        for (cmsghdr *c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
            if (const qint64 stamp = arrivalNs(c))
                arrivedWallNs = stamp;
        }
        handlePacket(QByteArrayView(buffer, size), ntohl(from.sin_addr.s_addr), arrivedWallNs);
    }
}

} // namespace platform
