#include "platform/IcmpEcho.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_LINUX
#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/icmp.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>
#endif

namespace platform {

namespace {
constexpr unsigned char typeEchoReply = 0;
constexpr unsigned char typeUnreachable = 3;
constexpr unsigned char typeEchoRequest = 8;
constexpr unsigned char typeTimeExceeded = 11;
constexpr int headerSize = 8;

quint16 readBe16(const unsigned char *p) {
    return static_cast<quint16>((p[0] << 8) | p[1]);
}

quint16 checksum(const unsigned char *data, qsizetype size) {
    quint32 sum = 0;
    for (qsizetype i = 0; i + 1 < size; i += 2)
        sum += readBe16(data + i);
    if (size % 2)
        sum += static_cast<quint32>(data[size - 1]) << 8;
    while (sum >> 16)
        sum = (sum & 0xffffu) + (sum >> 16);
    return static_cast<quint16>(~sum & 0xffffu);
}

qint32 unreachableStatus(unsigned char code) {
    switch (code) {
    case 0:
        return IcmpEcho::DestinationNetUnreachable;
    case 2:
        return IcmpEcho::DestinationProtocolUnreachable;
    case 3:
        return IcmpEcho::DestinationPortUnreachable;
    default:
        return IcmpEcho::DestinationHostUnreachable;
    }
}

#ifdef Q_OS_LINUX
QString errnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}
#endif
} // namespace

IcmpEcho::IcmpEcho(int timeoutMs, Prefer prefer, QObject *parent)
    : QObject(parent)
    , m_timeoutMs(timeoutMs)
    , m_timer(new QTimer(this)) {
    m_clock.start();
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &IcmpEcho::expire);
    openSocket(prefer);
}

IcmpEcho::~IcmpEcho() {
    delete m_notifier;
#ifdef Q_OS_LINUX
    if (m_fd >= 0)
        ::close(m_fd);
#endif
}

void IcmpEcho::openSocket(Prefer prefer) {
    if (prefer == Prefer::NoSocket) {
        m_unavailableReason = QStringLiteral("ICMP echo is switched off");
        return;
    }
#ifdef Q_OS_LINUX
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
            filter.data =
                ~((1u << typeEchoReply) | (1u << typeUnreachable) | (1u << typeTimeExceeded));
            ::setsockopt(m_fd, SOL_RAW, ICMP_FILTER, &filter, sizeof filter);
        } else {
            rawError = errno;
        }
    }
    if (m_fd < 0) {
        QStringList why;
        if (datagramError)
            why << QStringLiteral("echo sockets: %1 (this user's group is not in "
                                  "net.ipv4.ping_group_range)")
                       .arg(errnoText(datagramError));
        if (rawError)
            why << QStringLiteral("raw sockets: %1 (they need CAP_NET_RAW)")
                       .arg(errnoText(rawError));
        m_unavailableReason = QStringLiteral("The system permits no ICMP socket to this user (") +
                              why.join(QStringLiteral("; ")) + u')';
        return;
    }
    const int ttl = 255;
    ::setsockopt(m_fd, IPPROTO_IP, IP_TTL, &ttl, sizeof ttl);
    // The kernel stamps each reply as it arrives, so a busy event loop does not add to the
    // round trip.
    const int on = 1;
    ::setsockopt(m_fd, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
    const int buffer = 1 << 20;
    ::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    // The kernel puts its own identifier on datagram echo sockets; raw ones carry ours.
    m_identifier = static_cast<quint16>((::getpid() ^ reinterpret_cast<quintptr>(this)) & 0xffff);
    m_sequence = static_cast<quint16>(reinterpret_cast<quintptr>(this) >> 4);
    m_notifier = new QSocketNotifier(static_cast<qintptr>(m_fd), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &IcmpEcho::readPending);
#else
    Q_UNUSED(prefer);
    m_unavailableReason = QStringLiteral("ICMP echo is not built for this system");
#endif
}

quint16 IcmpEcho::nextSequence() {
    // Skip numbers still waiting for their answer (only after 65,536 echoes in flight).
    do
        ++m_sequence;
    while (m_pending.contains(m_sequence));
    return m_sequence;
}

void IcmpEcho::send(quint32 ipv4, const QByteArray &payload, Callback done) {
    if (m_fd < 0 || m_pending.size() >= 0xffff) {
        finishLater(std::move(done), {GeneralFailure, 0});
        return;
    }
#ifdef Q_OS_LINUX
    const quint16 sequence = nextSequence();
    QByteArray packet(headerSize + payload.size(), '\0');
    auto *p = reinterpret_cast<unsigned char *>(packet.data());
    p[0] = typeEchoRequest;
    p[4] = static_cast<unsigned char>(m_identifier >> 8);
    p[5] = static_cast<unsigned char>(m_identifier & 0xff);
    p[6] = static_cast<unsigned char>(sequence >> 8);
    p[7] = static_cast<unsigned char>(sequence & 0xff);
    std::memcpy(p + headerSize, payload.constData(), static_cast<size_t>(payload.size()));
    const quint16 sum = checksum(p, packet.size());
    p[2] = static_cast<unsigned char>(sum >> 8);
    p[3] = static_cast<unsigned char>(sum & 0xff);

    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(ipv4);
    Pending entry;
    entry.address = ipv4;
    entry.sentNs = m_clock.nsecsElapsed();
    entry.sentWallNs = wallClockNs();
    const ssize_t sent = ::sendto(m_fd, packet.constData(), static_cast<size_t>(packet.size()), 0,
                                  reinterpret_cast<const sockaddr *>(&to), sizeof to);
    if (sent != packet.size()) {
        // No route, or the address cannot be reached from here at all.
        const bool unreachable = errno == ENETUNREACH || errno == EHOSTUNREACH;
        finishLater(std::move(done),
                    {unreachable ? qint32(DestinationHostUnreachable) : qint32(GeneralFailure), 0});
        return;
    }
    entry.deadlineMs = entry.sentNs / 1000000 + m_timeoutMs;
    entry.token = m_nextToken++;
    entry.done = std::move(done);
    m_deadlines.emplace_back(entry.token, sequence);
    m_pending.insert(sequence, std::move(entry));
    if (!m_timer->isActive())
        armTimer();
#else
    Q_UNUSED(ipv4);
    Q_UNUSED(payload);
#endif
}

#ifdef Q_OS_LINUX
qint64 IcmpEcho::wallClockNs() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}
#endif

void IcmpEcho::readPending() {
#ifdef Q_OS_LINUX
    // One batch per turn of the event loop, so that a flood (a raw socket sees every ICMP
    // message of the host) cannot hold the program up. The notifier fires again on the next
    // turn while anything is left unread.
    constexpr int batch = 64;
    unsigned char buffer[1500];
    for (int n = 0; n < batch; ++n) {
        sockaddr_in from{};
        iovec io{buffer, sizeof buffer};
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(timespec))];
        msghdr message{};
        message.msg_name = &from;
        message.msg_namelen = sizeof from;
        message.msg_iov = &io;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        const ssize_t size = ::recvmsg(m_fd, &message, MSG_DONTWAIT);
        if (size < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        qint64 arrivedWallNs = 0;
        for (cmsghdr *c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
            if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS) {
                timespec stamp{};
                std::memcpy(&stamp, CMSG_DATA(c), sizeof stamp);
                arrivedWallNs = qint64(stamp.tv_sec) * 1000000000 + stamp.tv_nsec;
            }
        }
        handlePacket(buffer, size, ntohl(from.sin_addr.s_addr), arrivedWallNs);
    }
#endif
}

void IcmpEcho::handlePacket(const unsigned char *data, qsizetype size, quint32 source,
                            qint64 arrivedWallNs) {
    const qint64 receivedNs = m_clock.nsecsElapsed();
    // The kernel's arrival stamp when there is one (and the wall clock did not jump), else the
    // moment the event loop read the reply.
    const auto roundTripMs = [&](const Pending &echo) {
        const qint64 wall = arrivedWallNs - echo.sentWallNs;
        const qint64 loop = receivedNs - echo.sentNs;
        const qint64 ns = arrivedWallNs > 0 && wall >= 0 && wall <= loop ? wall : loop;
        return static_cast<qint32>(ns / 1000000);
    };
    if (m_kind == Kind::Raw) {
        // Raw sockets deliver the IP header too.
        if (size < 20)
            return;
        const qsizetype ipHeader = (data[0] & 0x0f) * 4;
        if (ipHeader < 20 || size < ipHeader + headerSize)
            return;
        data += ipHeader;
        size -= ipHeader;
    }
    if (size < headerSize)
        return;
    const unsigned char type = data[0];
    if (m_unanswered.contains(source))
        return;
    if (type == typeEchoReply) {
        const quint16 sequence = readBe16(data + 6);
        const auto it = m_pending.constFind(sequence);
        if (it == m_pending.cend() || it->address != source)
            return;
        if (m_kind == Kind::Raw && readBe16(data + 4) != m_identifier)
            return;
        finish(sequence, {Success, roundTripMs(*it)});
        return;
    }
    if (type != typeUnreachable && type != typeTimeExceeded)
        return;
    // An error quotes the offending datagram: its IP header and the first 8 bytes of our echo.
    const unsigned char *quoted = data + headerSize;
    const qsizetype quotedSize = size - headerSize;
    if (quotedSize < 20)
        return;
    const qsizetype innerHeader = (quoted[0] & 0x0f) * 4;
    if (innerHeader < 20 || quotedSize < innerHeader + headerSize || quoted[9] != IPPROTO_ICMP)
        return;
    const quint32 innerDestination = (quint32(quoted[16]) << 24) | (quint32(quoted[17]) << 16) |
                                     (quint32(quoted[18]) << 8) | quint32(quoted[19]);
    const unsigned char *echo = quoted + innerHeader;
    if (echo[0] != typeEchoRequest || readBe16(echo + 4) != m_identifier)
        return;
    const quint16 sequence = readBe16(echo + 6);
    const auto it = m_pending.constFind(sequence);
    if (it == m_pending.cend() || it->address != innerDestination)
        return;
    const qint32 ms = roundTripMs(*it);
    finish(sequence,
           {type == typeUnreachable ? unreachableStatus(data[1]) : qint32(TtlExpired), ms});
}

void IcmpEcho::finish(quint16 sequence, const Reply &reply) {
    auto it = m_pending.find(sequence);
    if (it == m_pending.end())
        return;
    Callback done = std::move(it->done);
    m_pending.erase(it);
    if (done)
        done(reply);
}

void IcmpEcho::finishLater(Callback done, const Reply &reply) {
    QTimer::singleShot(0, this, [done = std::move(done), reply] {
        if (done)
            done(reply);
    });
}

void IcmpEcho::expire() {
    // Replies already in the socket count: read them before calling anything late.
    readPending();
    const qint64 now = m_clock.elapsed();
    while (!m_deadlines.empty()) {
        const auto [token, sequence] = m_deadlines.front();
        const auto it = m_pending.constFind(sequence);
        if (it == m_pending.cend() || it->token != token) {
            m_deadlines.pop_front();
            continue;
        }
        if (it->deadlineMs > now)
            break;
        m_deadlines.pop_front();
        finish(sequence, {TimedOut, 0});
    }
    armTimer();
}

void IcmpEcho::armTimer() {
    while (!m_deadlines.empty()) {
        const auto [token, sequence] = m_deadlines.front();
        const auto it = m_pending.constFind(sequence);
        if (it != m_pending.cend() && it->token == token) {
            m_timer->start(static_cast<int>(qMax<qint64>(0, it->deadlineMs - m_clock.elapsed())));
            return;
        }
        m_deadlines.pop_front();
    }
}

} // namespace platform
