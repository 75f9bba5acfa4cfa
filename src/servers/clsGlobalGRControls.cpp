#include "servers/clsGlobalGRControls.h"

#include "common/Prompter.h"
#include "common/Timing.h"
#include "root/AppRoot.h"
#include "servers/GRQueryProtocol.h"
#include "servers/HostLookup.h"
#include "servers/basUtilities.h"
#include "servers/clsGRServer.h"
#include "servers/clsGRServers.h"

#include <QCoreApplication>
#include <QUdpSocket>
#include <QVariant>

#include <algorithm>
#include <cerrno>

namespace {
QString sendingTitle() {
    return QCoreApplication::translate("clsGlobalGRControls",
                                       "An Error has occured (Sending Data)");
}
// Room for thousands of replies arriving between two turns of the event loop.
constexpr int receiveBufferBytes = 4 * 1024 * 1024;
constexpr int sendBufferBytes = 1024 * 1024;
constexpr int maxSilentRepeats = 3;
// Datagrams read in one go before the event loop gets its turn: a flood must not keep timers,
// input and painting waiting (a batch takes well under a millisecond).
constexpr int readBatch = 64;
} // namespace

clsGlobalGRControls::clsGlobalGRControls(AppRoot &root, QObject *parent)
    : QObject(parent)
    , m_root(root)
    , m_request(grquery::request()) {
    m_clock.start();
    m_slots.resize(1); // slot 0 exists from the start
    m_paceTimer.setInterval(1);
    m_paceTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_paceTimer, &QTimer::timeout, this, &clsGlobalGRControls::sendSome);
    m_windowTimer.setSingleShot(true);
    m_windowTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_windowTimer, &QTimer::timeout, this, &clsGlobalGRControls::windowsDue);
}

clsGlobalGRControls::~clsGlobalGRControls() {
    m_paceTimer.stop();
    m_windowTimer.stop();
}

std::optional<int> clsGlobalGRControls::fnNextTimerAndWinsock() {
    for (int i = 0; i < slotCount(); ++i) {
        if (m_slots[static_cast<size_t>(i)].tag.isEmpty())
            return i;
    }
    m_slots.emplace_back();
    return slotCount() - 1;
}

QString clsGlobalGRControls::slotTag(int slot) const {
    return validSlot(slot) ? m_slots[static_cast<size_t>(slot)].tag : QString();
}

std::optional<quint32> clsGlobalGRControls::resolvedAddress(int slot) const {
    return validSlot(slot) ? m_slots[static_cast<size_t>(slot)].resolved : std::nullopt;
}

bool clsGlobalGRControls::isQuerying(int slot) const {
    return validSlot(slot) && m_slots[static_cast<size_t>(slot)].querying;
}

quint16 clsGlobalGRControls::localPort() const {
    return m_socket ? m_socket->localPort() : 0;
}

void clsGlobalGRControls::bindSlot(int slot, const QString &tag) {
    if (!validSlot(slot))
        return;
    endQuery(slot);
    m_slots[static_cast<size_t>(slot)].tag = tag;
    m_slots[static_cast<size_t>(slot)].resolved.reset();
}

void clsGlobalGRControls::releaseSlot(int slot) {
    if (!validSlot(slot))
        return;
    // A window still running for the old record must not end the next record's query early.
    endQuery(slot);
    m_slots[static_cast<size_t>(slot)].tag.clear();
    m_slots[static_cast<size_t>(slot)].resolved.reset();
}

clsGRServer *clsGlobalGRControls::recordFor(int slot) const {
    if (!validSlot(slot) || !m_root.GRServers())
        return nullptr;
    const QString &tag = m_slots[static_cast<size_t>(slot)].tag;
    if (tag.isEmpty())
        return nullptr;
    return m_root.GRServers()->Item(tag);
}

void clsGlobalGRControls::endQuery(int slot) {
    Slot &s = m_slots[static_cast<size_t>(slot)];
    if (s.routed)
        m_routes.remove(s.address, slot);
    s.routed = false;
    s.resent = false;
    s.querying = false;
    ++s.generation;
}

void clsGlobalGRControls::startQuery(int slot, const QString &host) {
    if (!validSlot(slot) || m_slots[static_cast<size_t>(slot)].querying)
        return;
    Slot &s = m_slots[static_cast<size_t>(slot)];
    ++s.generation;
    s.querying = true;
    const quint32 generation = s.generation;

    // A dotted address is read as the address check read it (decimal parts, never octal).
    if (const std::optional<quint32> v4 = DottedIPv4(host)) {
        queueSend(slot, generation, *v4);
        return;
    }
    if (QHostAddress address; address.setAddress(host)) {
        // Only IPv4 servers are queried; the window runs out as for a silent server.
        bool ipv4 = false;
        const quint32 v4 = address.toIPv4Address(&ipv4);
        if (ipv4)
            queueSend(slot, generation, v4);
        else
            armWindow(slot);
        return;
    }
    HostLookup::lookup(host, this, [this, slot, generation](std::optional<quint32> address) {
        hostResolved(slot, generation, address);
    });
}

void clsGlobalGRControls::queueSend(int slot, quint32 generation, quint32 ipv4) {
    m_sendQueue.push_back({slot, generation, ipv4});
    if (!m_paceTimer.isActive())
        m_paceTimer.start();
}

void clsGlobalGRControls::hostResolved(int slot, quint32 generation,
                                       std::optional<quint32> address) {
    if (!validSlot(slot))
        return;
    Slot &s = m_slots[static_cast<size_t>(slot)];
    if (s.generation != generation || !s.querying)
        return;
    s.resolved = address;
    if (address) {
        queueSend(slot, generation, *address);
        return;
    }
    // A name that does not resolve ends like a server that does not answer.
    armWindow(slot);
}

void clsGlobalGRControls::ensureSocket() {
    if (m_socket)
        return;
    m_socket = new QUdpSocket(this);
    if (!m_socket->bind(QHostAddress::AnyIPv4, 0))
        return; // the first send reports why
    m_socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                              QVariant(receiveBufferBytes));
    m_socket->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption,
                              QVariant(sendBufferBytes));
    connect(m_socket, &QUdpSocket::readyRead, this, &clsGlobalGRControls::readPending);
}

clsGlobalGRControls::SendOutcome
clsGlobalGRControls::sendNow(const QByteArray &datagram, const QHostAddress &to, quint16 port) {
    if (m_sender)
        return m_sender(datagram, to, port);
    ensureSocket();
    errno = 0;
    const qint64 sent = m_socket->writeDatagram(datagram, to, port);
    const int error = errno;
    if (sent == datagram.size())
        return {};
    if (error == EAGAIN || error == EWOULDBLOCK || error == ENOBUFS)
        return {SendOutcome::Repeat, qt_error_string(error)};
    return {SendOutcome::Failed, error != 0 ? qt_error_string(error) : m_socket->errorString()};
}

bool clsGlobalGRControls::reportSendFailure(const QString &description, bool &retry) {
    retry = false;
    // A cause that hits every server alike is shown once per round of sends, not per server.
    if (m_reportedCauses.contains(description))
        return false;
    m_reportedCauses.insert(description);
    m_prompting = true;
    const Answer answer =
        m_root.prompter().ask(description, sendingTitle(), Buttons::RetryCancel, Icon::Critical);
    m_prompting = false;
    retry = answer == Answer::Retry;
    if (retry)
        m_reportedCauses.remove(description);
    return retry;
}

void clsGlobalGRControls::sendSome() {
    if (m_prompting)
        return;
    readPending();
    for (int n = 0; n < m_sendsPerTick && !m_sendQueue.empty(); ++n) {
        PendingSend next = m_sendQueue.front();
        m_sendQueue.pop_front();
        if (!validSlot(next.slot))
            continue;
        Slot &s = m_slots[static_cast<size_t>(next.slot)];
        if (s.generation != next.generation || !s.querying)
            continue;
        const SendOutcome outcome = sendNow(m_request, QHostAddress(next.address), grquery::port);
        if (outcome.kind == SendOutcome::Sent) {
            ++m_counters.sent;
            // A reply is timed from the latest request: a lost request is far likelier than a
            // server that takes longer than the wait before the second one.
            s.sentAtNs = m_clock.nsecsElapsed();
            if (next.resend) {
                ++m_counters.resent;
                continue;
            }
            s.routed = true;
            s.address = next.address;
            m_routes.insert(next.address, next.slot);
            armWindow(next.slot);
            continue;
        }
        if (outcome.kind == SendOutcome::Repeat && next.repeats < maxSilentRepeats) {
            // The system asked for the send to be repeated: try again on the next tick.
            ++next.repeats;
            m_sendQueue.push_front(next);
            break;
        }
        ++m_counters.sendFailures;
        // The first request of the window went: its window runs on, and a cause that hits
        // every server was told of then.
        if (next.resend)
            continue;
        bool retry = false;
        reportSendFailure(outcome.description, retry);
        if (retry) {
            next.repeats = 0;
            m_sendQueue.push_front(next);
            continue;
        }
        // Given up: the record waits out its window and ends without a reply.
        if (validSlot(next.slot) &&
            m_slots[static_cast<size_t>(next.slot)].generation == next.generation)
            armWindow(next.slot);
    }
    if (m_sendQueue.empty()) {
        m_paceTimer.stop();
        m_reportedCauses.clear();
    }
}

void clsGlobalGRControls::armWindow(int slot) {
    const Timing &timing = m_root.timing();
    const qint64 now = m_clock.nsecsElapsed();
    const quint32 generation = m_slots[static_cast<size_t>(slot)].generation;
    const Deadline deadline{now + qint64(timing.queryWindowMs) * 1000000, slot, generation};
    // Only a request that left is asked again, and only while its window leaves room for it.
    if (m_slots[static_cast<size_t>(slot)].routed && timing.resendAfterMs > 0 &&
        timing.resendAfterMs < timing.queryWindowMs) {
        // All waits have the same length: the queue stays in order.
        m_resends.push_back({now + qint64(timing.resendAfterMs) * 1000000, slot, generation});
    }
    // Every window has the same length, so deadlines arrive in order; keep it sorted anyway.
    if (m_deadlines.empty() || m_deadlines.back().atNs <= deadline.atNs) {
        m_deadlines.push_back(deadline);
    } else {
        const auto at =
            std::upper_bound(m_deadlines.begin(), m_deadlines.end(), deadline,
                             [](const Deadline &a, const Deadline &b) { return a.atNs < b.atNs; });
        m_deadlines.insert(at, deadline);
    }
    if (!m_windowTimer.isActive() || m_deadlines.front().atNs == deadline.atNs ||
        (!m_resends.empty() && m_resends.back().atNs == m_resends.front().atNs))
        armWindowTimer();
}

void clsGlobalGRControls::armWindowTimer() {
    if (m_deadlines.empty() && m_resends.empty()) {
        m_windowTimer.stop();
        return;
    }
    qint64 next = m_deadlines.empty() ? m_resends.front().atNs : m_deadlines.front().atNs;
    if (!m_resends.empty())
        next = qMin(next, m_resends.front().atNs);
    const qint64 remainingNs = next - m_clock.nsecsElapsed();
    m_windowTimer.start(static_cast<int>(qMax<qint64>(0, (remainingNs + 999999) / 1000000)));
}

void clsGlobalGRControls::resendsDue(qint64 now) {
    while (!m_resends.empty() && m_resends.front().atNs <= now) {
        const Deadline due = m_resends.front();
        m_resends.pop_front();
        if (!validSlot(due.slot))
            continue;
        Slot &s = m_slots[static_cast<size_t>(due.slot)];
        // Answered, ended or asked afresh meanwhile: nothing to repeat.
        if (s.generation != due.generation || !s.querying || !s.routed || s.resent)
            continue;
        s.resent = true;
        m_sendQueue.push_back({due.slot, due.generation, s.address, 0, true});
        if (!m_paceTimer.isActive())
            m_paceTimer.start();
    }
}

void clsGlobalGRControls::windowsDue() {
    // Replies that are already here count, however late the loop came round to them.
    readPending();
    const qint64 now = m_clock.nsecsElapsed();
    resendsDue(now);
    while (!m_deadlines.empty() && m_deadlines.front().atNs <= now) {
        const Deadline due = m_deadlines.front();
        m_deadlines.pop_front();
        if (!validSlot(due.slot))
            continue;
        const Slot &s = m_slots[static_cast<size_t>(due.slot)];
        if (s.generation == due.generation && s.querying)
            timerFired(due.slot);
    }
    armWindowTimer();
}

void clsGlobalGRControls::timerFired(int slot) {
    if (!validSlot(slot))
        return;
    endQuery(slot);
    clsGRServer *record = recordFor(slot);
    if (!record)
        return;
    const bool wasWaiting = record->status() == clsGRServer::Waiting;
    record->TimerFired();
    if (wasWaiting && record->status() == clsGRServer::NoReply) {
        const QString address = record->IP(); // a listener may remove the record
        emit queryEnded(address, false);
    }
}

void clsGlobalGRControls::dataArrival(int slot, const QByteArray &datagram, qint32 roundTripMs) {
    clsGRServer *record = recordFor(slot);
    if (!record)
        return;
    if (record->DataArrival(datagram, roundTripMs)) {
        endQuery(slot);
        const QString address = record->IP(); // a listener may remove the record
        emit queryEnded(address, true);
    }
}

void clsGlobalGRControls::readPending() {
    if (!m_socket)
        return;
    static char buffer[65536];
    // One batch, then the rest of the program gets its turn. Every read re-arms the socket's
    // read notification, so readyRead comes again on the next turn of the event loop for
    // whatever is left. A read that finds nothing ends the batch early, which spares a look at
    // the socket before every read.
    int failedReads = 0;
    for (int n = 0; n < readBatch; ++n) {
        QHostAddress from;
        quint16 fromPort = 0;
        const qint64 read = m_socket->readDatagram(buffer, sizeof buffer, &from, &fromPort);
        const qint64 arrivedNs = m_clock.nsecsElapsed();
        if (read < 0) {
            if (!m_socket->hasPendingDatagrams())
                return; // drained
            // An error reported on the shared socket (a port unreachable, on some systems) is
            // not the end of the replies; keep reading, but never spin on a socket that only
            // fails.
            if (++failedReads > 64)
                return;
            continue;
        }
        ++m_counters.received;
        bool ipv4 = false;
        const quint32 address = from.toIPv4Address(&ipv4);
        bool taken = false;
        // Most of a flood comes from addresses nobody asked: they cost one lookup.
        if (ipv4 && fromPort == grquery::port && m_routes.contains(address)) {
            const QByteArray datagram(buffer, read);
            const QList<int> waiting = m_routes.values(address);
            for (int slot : waiting) {
                const Slot &s = m_slots[static_cast<size_t>(slot)];
                if (!s.routed || !s.querying)
                    continue;
                const auto roundTrip = static_cast<qint32>((arrivedNs - s.sentAtNs) / 1000000);
                const quint32 generation = s.generation;
                dataArrival(slot, datagram, roundTrip);
                taken = taken || m_slots[static_cast<size_t>(slot)].generation != generation;
            }
        }
        if (taken)
            ++m_counters.delivered;
        else
            ++m_counters.dropped;
    }
}
