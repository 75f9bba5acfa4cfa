#pragma once

#include "common/Timing.h"

#include "platform/IcmpEcho.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QString>

#include <deque>
#include <functional>
#include <memory>

class QTimer;
class QUdpSocket;
class clsGRServer;

// Measures round-trip times to servers. Every echo is asynchronous: a call starts it and
// returns, and the result is delivered from the event loop. Where the system permits no ICMP
// socket, the round trip of a status query stands in for the echo.
class clsPing : public QObject {
    Q_OBJECT
public:
    // Outcome codes besides the echo status values of platform::IcmpEcho.
    static constexpr qint32 NotDotted = -1;
    static constexpr qint32 NameNotResolved = -10;
    // How many echoes may be on the wire at once; the rest wait their turn.
    static constexpr int maxInFlight = 256;

    // Finds the record that stands under an address now (the record may have gone meanwhile).
    using RecordLookup = std::function<clsGRServer *(const QString &ip)>;
    using Done = std::function<void(qint32 outcome, qint32 roundTripMs)>;

    struct Settings {
        int timeoutMs = Timing{}.pingTimeoutMs;
        platform::IcmpEcho::Prefer prefer = platform::IcmpEcho::Prefer::Auto;
        // Stand-in when there is no ICMP socket: this datagram goes to `probePort` and the
        // first datagram back from the server ends the measurement.
        QByteArray probe;
        quint16 probePort = 2348;
    };

    clsPing(Settings settings, RecordLookup lookup, QObject *parent = nullptr);
    ~clsPing() override;

    // The plain dotted IPv4 text of an address the address check accepts; empty for anything
    // else (host names included, which PingAddress resolves without blocking).
    static QString dottedAddress(const QString &text);

    // One echo to a host name or dotted address with `payload`. `done` gets the outcome (the
    // echo status, NameNotResolved) and the round-trip time: 0 when the name does not resolve
    // or nothing answered in time.
    void PingAddress(const QString &strAddressToResolve, const QByteArray &strDataToSend,
                     Done done);

    // Starts measuring a record's round trip and returns. The record's PingStale turns false at
    // once; its Ping is written when the echo ends (if the record is still there).
    // `finished` runs after that, whatever happened.
    void RefreshPing(clsGRServer &server, std::function<void()> finished = {});

    // True when the status query's round trip stands in for ICMP, and why.
    bool usesQueryRoundTrip() const { return m_echo->kind() == platform::IcmpEcho::Kind::None; }
    QString fallbackNote() const;

    platform::IcmpEcho &echo() { return *m_echo; }
    int inFlight() const { return m_inFlight; }
    int queued() const { return static_cast<int>(m_queue.size()); }

private:
    struct Job {
        quint32 address = 0;
        QByteArray payload;
        Done done;
    };
    void startOrQueue(Job job);
    void startNext();
    void start(Job job);
    void probe(Job job);
    void readProbeReplies();
    void expireProbes();

    Settings m_settings;
    RecordLookup m_lookup;
    std::unique_ptr<platform::IcmpEcho> m_echo;
    std::deque<Job> m_queue;
    int m_inFlight = 0;

    // The stand-in measurement's state.
    QUdpSocket *m_probeSocket = nullptr;
    struct ProbeWait {
        quint64 token = 0;
        qint64 sentNs = 0;
        Done done;
    };
    QHash<quint32, std::deque<ProbeWait>> m_probes;
    std::deque<std::pair<quint64, quint32>> m_probeOrder; // oldest first
    quint64 m_nextProbeToken = 1;
    QTimer *m_probeTimer = nullptr;
    QElapsedTimer m_clock;
};
