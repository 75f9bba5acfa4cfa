#include "servers/LanServerFinder.h"

#include "servers/GRQueryProtocol.h"
#include "servers/clsGRServer.h"

#include <QNetworkInterface>
#include <QSet>
#include <QUdpSocket>

namespace {
// Datagrams read in one turn of the event loop: a flood must not starve the window.
constexpr int readBatch = 256;

LanServerFinder::TargetCheck &targetCheck() {
    static LanServerFinder::TargetCheck check;
    return check;
}
} // namespace

void LanServerFinder::setTargetCheck(TargetCheck check) {
    targetCheck() = std::move(check);
}

QList<LanServerFinder::Interface> LanServerFinder::systemInterfaces() {
    QList<Interface> interfaces;
    const QList<QNetworkInterface> all = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &system : all) {
        Interface i;
        i.name = system.name();
        const QNetworkInterface::InterfaceFlags flags = system.flags();
        i.up = flags.testFlag(QNetworkInterface::IsUp);
        i.canBroadcast = flags.testFlag(QNetworkInterface::CanBroadcast);
        i.loopback = flags.testFlag(QNetworkInterface::IsLoopBack);
        const QList<QNetworkAddressEntry> entries = system.addressEntries();
        for (const QNetworkAddressEntry &entry : entries)
            i.entries.append({entry.ip(), entry.broadcast(), entry.prefixLength()});
        interfaces.append(i);
    }
    return interfaces;
}

QList<QHostAddress> LanServerFinder::broadcastAddresses(const QList<Interface> &interfaces) {
    QList<QHostAddress> addresses;
    QSet<quint32> seen;
    for (const Interface &i : interfaces) {
        if (!i.up || !i.canBroadcast || i.loopback)
            continue;
        for (const Interface::Entry &entry : i.entries) {
            bool ipv4 = false;
            const quint32 ip = entry.ip.toIPv4Address(&ipv4);
            if (!ipv4 || entry.ip.isLoopback())
                continue;
            bool given = false;
            quint32 broadcast = entry.broadcast.toIPv4Address(&given);
            if (!given || broadcast == 0) {
                // A subnet of one or two addresses has no broadcast address of its own.
                if (entry.prefixLength < 1 || entry.prefixLength > 30)
                    continue;
                broadcast = ip | (0xFFFFFFFFu >> entry.prefixLength);
            }
            // The limited broadcast reaches whatever the system picks, not this interface.
            if (broadcast == 0xFFFFFFFFu || seen.contains(broadcast))
                continue;
            seen.insert(broadcast);
            addresses.append(QHostAddress(broadcast));
        }
    }
    return addresses;
}

LanServerFinder::LanServerFinder(const Timing &timing, QObject *parent)
    : QObject(parent)
    , m_timing(timing) {
    m_end.setSingleShot(true);
    m_resend.setSingleShot(true);
    connect(&m_end, &QTimer::timeout, this, &LanServerFinder::finish);
    connect(&m_resend, &QTimer::timeout, this, &LanServerFinder::send);
}

LanServerFinder::~LanServerFinder() = default;

void LanServerFinder::dropSocket() {
    if (!m_socket)
        return;
    m_socket->disconnect(this);
    m_socket->close();
    m_socket->deleteLater();
    m_socket = nullptr;
}

bool LanServerFinder::start() {
    m_end.stop();
    m_resend.stop();
    dropSocket();
    m_searching = false;
    m_found.clear();
    m_foundAddresses.clear();
    m_ignored = 0;
    m_sendError.clear();
    m_targets = broadcastAddresses(systemInterfaces());
    if (const TargetCheck &allowed = targetCheck())
        m_targets.removeIf([&](const QHostAddress &to) { return !allowed(to); });
    if (m_targets.isEmpty())
        return false;
    m_socket = new QUdpSocket(this);
    if (!m_socket->bind(QHostAddress::AnyIPv4, 0)) {
        m_sendError = m_socket->errorString();
        dropSocket();
        return false;
    }
    connect(m_socket, &QUdpSocket::readyRead, this, &LanServerFinder::readAnswers);
    m_searching = true;
    send();
    // A broadcast lost on the way costs every server behind it: the request goes once more
    // within the search, as a query's does.
    if (m_timing.resendAfterMs < m_timing.lanSearchMs)
        m_resend.start(m_timing.resendAfterMs);
    m_end.start(m_timing.lanSearchMs);
    return true;
}

void LanServerFinder::send() {
    if (!m_socket)
        return;
    const QByteArray request = grquery::request();
    m_sentAt.start();
    for (const QHostAddress &to : std::as_const(m_targets)) {
        if (m_socket->writeDatagram(request, to, grquery::port) != request.size())
            m_sendError = to.toString() + QStringLiteral(": ") + m_socket->errorString();
    }
}

void LanServerFinder::readAnswers() {
    if (!m_socket)
        return;
    static char buffer[65536];
    int failedReads = 0;
    for (int n = 0; n < readBatch; ++n) {
        QHostAddress from;
        quint16 fromPort = 0;
        const qint64 read = m_socket->readDatagram(buffer, sizeof buffer, &from, &fromPort);
        if (read < 0) {
            if (!m_socket->hasPendingDatagrams() || ++failedReads > 64)
                return;
            continue;
        }
        const auto roundTrip = static_cast<qint32>(m_sentAt.elapsed());
        bool ipv4 = false;
        const quint32 address = from.toIPv4Address(&ipv4);
        // A server answers from its status port; one answer per server is enough (the repeated
        // request brings a second).
        if (!ipv4 || fromPort != grquery::port || m_foundAddresses.contains(address) ||
            count() >= maxServers) {
            ++m_ignored;
            continue;
        }
        auto server = std::make_unique<clsGRServer>();
        server->setIP(QHostAddress(address).toString());
        if (!server->DataArrival(QByteArrayView(buffer, read), roundTrip)) {
            ++m_ignored;
            continue;
        }
        m_foundAddresses.insert(address);
        m_found.push_back(std::move(server));
        emit serverFound(count() - 1);
    }
}

void LanServerFinder::finish() {
    m_resend.stop();
    readAnswers(); // what came in time is still counted
    dropSocket();
    m_searching = false;
    emit finished();
}
