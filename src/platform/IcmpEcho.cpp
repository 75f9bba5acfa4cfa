#include "platform/IcmpEcho.h"

#include "platform/IcmpPacket.h"

#include <QSocketNotifier>
#include <QTimer>

namespace platform {

namespace {
qint32 unreachableStatus(quint8 code) {
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
} // namespace

IcmpEcho::IcmpEcho(int timeoutMs, Prefer prefer, QObject *parent)
    : QObject(parent)
    , m_timeoutMs(timeoutMs)
    , m_timer(new QTimer(this)) {
    m_clock.start();
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &IcmpEcho::expire);
    if (prefer == Prefer::NoSocket)
        m_unavailableReason = tr("ICMP echo is switched off");
    else
        openSocket(prefer);
}

IcmpEcho::~IcmpEcho() {
    delete m_notifier;
    closeSocket();
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
    const quint16 sequence = nextSequence();
    const QByteArray packet = icmp::echoRequest(m_identifier, sequence, payload);
    Pending entry;
    entry.address = ipv4;
    entry.sentNs = m_clock.nsecsElapsed();
    entry.sentWallNs = wallClockNs();
    if (const qint32 failure = sendPacket(ipv4, packet); failure != Success) {
        finishLater(std::move(done), {failure, 0});
        return;
    }
    entry.deadlineMs = entry.sentNs / 1000000 + m_timeoutMs;
    entry.token = m_nextToken++;
    entry.done = std::move(done);
    m_deadlines.emplace_back(entry.token, sequence);
    m_pending.insert(sequence, std::move(entry));
    if (!m_timer->isActive())
        armTimer();
}

void IcmpEcho::handlePacket(QByteArrayView packet, quint32 source, qint64 arrivedWallNs) {
    const qint64 receivedNs = m_clock.nsecsElapsed();
    // The kernel's arrival stamp when there is one (and the wall clock did not jump), else the
    // moment the event loop read the reply.
    const auto roundTripMs = [&](const Pending &echo) {
        const qint64 wall = arrivedWallNs - echo.sentWallNs;
        const qint64 loop = receivedNs - echo.sentNs;
        const qint64 ns = arrivedWallNs > 0 && wall >= 0 && wall <= loop ? wall : loop;
        return static_cast<qint32>(ns / 1000000);
    };
    const std::optional<icmp::EchoAnswer> answer =
        icmp::readEchoAnswer(packet, m_kind == Kind::Raw);
    if (!answer || m_unanswered.contains(source))
        return;
    const auto it = m_pending.constFind(answer->sequence);
    if (it == m_pending.cend())
        return;
    if (answer->kind == icmp::EchoAnswer::Kind::Reply) {
        // The kernel puts its own identifier on datagram echo sockets; raw ones carry ours.
        if (it->address != source || (m_kind == Kind::Raw && answer->identifier != m_identifier))
            return;
        finish(answer->sequence, {Success, roundTripMs(*it)});
        return;
    }
    if (answer->identifier != m_identifier || it->address != answer->destination)
        return;
    const qint32 status = answer->kind == icmp::EchoAnswer::Kind::Unreachable
                              ? unreachableStatus(answer->code)
                              : qint32(TtlExpired);
    finish(answer->sequence, {status, roundTripMs(*it)});
}

void IcmpEcho::handleError(quint16 sequence, quint32 destination, quint32 source, quint8 type,
                           quint8 code, qint64 arrivedWallNs) {
    if (m_unanswered.contains(source))
        return;
    const auto it = m_pending.constFind(sequence);
    if (it == m_pending.cend() || it->address != destination)
        return;
    qint32 status = 0;
    if (type == icmp::typeUnreachable)
        status = unreachableStatus(code);
    else if (type == icmp::typeTimeExceeded)
        status = TtlExpired;
    else
        return;
    const qint64 wall = arrivedWallNs - it->sentWallNs;
    const qint64 loop = m_clock.nsecsElapsed() - it->sentNs;
    const qint64 ns = arrivedWallNs > 0 && wall >= 0 && wall <= loop ? wall : loop;
    finish(sequence, {status, static_cast<qint32>(ns / 1000000)});
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
