#include "servers/clsPing.h"

#include "servers/HostLookup.h"
#include "servers/basUtilities.h"
#include "servers/clsGRServer.h"

#include <QHostAddress>
#include <QPointer>
#include <QTimer>
#include <QUdpSocket>

#include <optional>

clsPing::clsPing(Settings settings, RecordLookup lookup, QObject *parent)
    : QObject(parent)
    , m_settings(std::move(settings))
    , m_lookup(std::move(lookup))
    , m_echo(std::make_unique<platform::IcmpEcho>(m_settings.timeoutMs, m_settings.prefer)) {
    m_clock.start();
}

clsPing::~clsPing() = default;

QString clsPing::dottedAddress(const QString &text) {
    const auto address = DottedIPv4(text);
    return address ? QHostAddress(*address).toString() : QString();
}

QString clsPing::fallbackNote() const {
    if (!usesQueryRoundTrip())
        return {};
    return m_echo->unavailableReason() +
           tr(". Ping times show the round trip of the status query instead.");
}

void clsPing::PingAddress(const QString &strAddressToResolve, const QByteArray &strDataToSend,
                          Done done) {
    // A dotted address is read as the address check reads it, so the echo goes where the
    // status query goes.
    if (const auto address = DottedIPv4(strAddressToResolve)) {
        startOrQueue({*address, strDataToSend, std::move(done)});
        return;
    }
    // A host name: resolved in the background, first IPv4 address taken.
    QPointer<clsPing> self(this);
    HostLookup::lookup(strAddressToResolve.trimmed(), this,
                       [self, payload = strDataToSend,
                        done = std::move(done)](std::optional<quint32> address) mutable {
                           if (!self)
                               return;
                           if (address)
                               self->startOrQueue({*address, payload, std::move(done)});
                           else if (done)
                               done(NameNotResolved, 0);
                       });
}

void clsPing::RefreshPing(clsGRServer &server, std::function<void()> finished) {
    const QString ip = server.IP();
    server.setPingStale(false);
    PingAddress(ip, QByteArray(32, 'A'),
                [this, ip, finished = std::move(finished)](qint32, qint32 roundTripMs) {
                    if (clsGRServer *record = m_lookup ? m_lookup(ip) : nullptr)
                        record->setPing(roundTripMs);
                    if (finished)
                        finished();
                });
}

void clsPing::startOrQueue(Job job) {
    if (m_inFlight < maxInFlight)
        start(std::move(job));
    else
        m_queue.push_back(std::move(job));
}

void clsPing::startNext() {
    while (m_inFlight < maxInFlight && !m_queue.empty()) {
        Job job = std::move(m_queue.front());
        m_queue.pop_front();
        start(std::move(job));
    }
}

void clsPing::start(Job job) {
    ++m_inFlight;
    Done done = std::move(job.done);
    auto ended = [this, done = std::move(done)](qint32 outcome, qint32 ms) {
        --m_inFlight;
        if (done)
            done(outcome, ms);
        startNext();
    };
    if (usesQueryRoundTrip()) {
        job.done = std::move(ended);
        probe(std::move(job));
        return;
    }
    m_echo->send(job.address, job.payload,
                 [ended = std::move(ended)](const platform::IcmpEcho::Reply &reply) {
                     ended(reply.status, reply.roundTripMs);
                 });
}

void clsPing::probe(Job job) {
    if (!m_probeSocket) {
        m_probeSocket = new QUdpSocket(this);
        m_probeSocket->bind(QHostAddress(QHostAddress::AnyIPv4), 0);
        connect(m_probeSocket, &QUdpSocket::readyRead, this, &clsPing::readProbeReplies);
        m_probeTimer = new QTimer(this);
        m_probeTimer->setSingleShot(true);
        connect(m_probeTimer, &QTimer::timeout, this, &clsPing::expireProbes);
    }
    const QHostAddress to(job.address);
    if (m_settings.probe.isEmpty() ||
        m_probeSocket->writeDatagram(m_settings.probe, to, m_settings.probePort) < 0) {
        QTimer::singleShot(
            0, this, [done = std::move(job.done)] { done(platform::IcmpEcho::GeneralFailure, 0); });
        return;
    }
    const quint64 token = m_nextProbeToken++;
    m_probes[job.address].push_back({token, m_clock.nsecsElapsed(), std::move(job.done)});
    m_probeOrder.emplace_back(token, job.address);
    if (!m_probeTimer->isActive())
        m_probeTimer->start(m_settings.timeoutMs);
}

void clsPing::readProbeReplies() {
    // One batch per turn of the event loop, so a flood cannot hold the program up; each read
    // re-arms the socket, so readyRead comes again for what is left. Only the sender matters,
    // so the datagram itself is not kept.
    constexpr int batch = 64;
    for (int n = 0; n < batch; ++n) {
        char first = 0;
        QHostAddress sender;
        if (m_probeSocket->readDatagram(&first, 1, &sender) < 0) {
            if (!m_probeSocket->hasPendingDatagrams())
                return;
            continue;
        }
        const qint64 now = m_clock.nsecsElapsed();
        bool ok = false;
        const quint32 from = sender.toIPv4Address(&ok);
        auto it = m_probes.find(from);
        if (!ok || it == m_probes.end() || it->empty())
            continue;
        ProbeWait wait = std::move(it->front());
        it->pop_front();
        if (it->empty())
            m_probes.erase(it);
        wait.done(platform::IcmpEcho::Success, static_cast<qint32>((now - wait.sentNs) / 1000000));
    }
}

void clsPing::expireProbes() {
    readProbeReplies();
    const qint64 now = m_clock.nsecsElapsed();
    while (!m_probeOrder.empty()) {
        const auto [token, address] = m_probeOrder.front();
        auto it = m_probes.find(address);
        if (it == m_probes.end() || it->empty() || it->front().token != token) {
            m_probeOrder.pop_front(); // answered already
            continue;
        }
        const qint64 leftMs = m_settings.timeoutMs - (now - it->front().sentNs) / 1000000;
        if (leftMs > 0) {
            m_probeTimer->start(static_cast<int>(leftMs));
            return;
        }
        m_probeOrder.pop_front();
        ProbeWait wait = std::move(it->front());
        it->pop_front();
        if (it->empty())
            m_probes.erase(it);
        wait.done(platform::IcmpEcho::TimedOut, 0);
    }
}
