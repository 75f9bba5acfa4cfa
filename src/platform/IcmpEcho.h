#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

#include <deque>
#include <functional>

class QSocketNotifier;
class QTimer;

namespace platform {

// Asynchronous ICMP echo over one socket. Each echo ends exactly once, through its callback,
// with a reply, an ICMP error or the time-out; nothing here ever waits on the network.
class IcmpEcho : public QObject {
    Q_OBJECT
public:
    // Which socket the system let us open.
    enum class Kind { Datagram, Raw, None };
    // What to try: Auto tries an unprivileged datagram socket, then a raw one.
    enum class Prefer { Auto, DatagramOnly, RawOnly, NoSocket };

    // Echo status values as the Windows ICMP service reports them, so the numbers the program
    // shows mean the same everywhere.
    enum Status : qint32 {
        Success = 0,
        DestinationNetUnreachable = 11002,
        DestinationHostUnreachable = 11003,
        DestinationProtocolUnreachable = 11004,
        DestinationPortUnreachable = 11005,
        TimedOut = 11010,
        TtlExpired = 11013,
        GeneralFailure = 11050,
    };

    struct Reply {
        qint32 status = TimedOut;
        qint32 roundTripMs = 0; // 0 when nothing came back
    };
    using Callback = std::function<void(const Reply &)>;

    explicit IcmpEcho(int timeoutMs, Prefer prefer = Prefer::Auto, QObject *parent = nullptr);
    ~IcmpEcho() override;

    Kind kind() const { return m_kind; }
    // Why no ICMP socket could be opened (empty when one is open).
    const QString &unavailableReason() const { return m_unavailableReason; }
    int pending() const { return static_cast<int>(m_pending.size()); }
    int timeoutMs() const { return m_timeoutMs; }

    // Sends one echo request carrying `payload` to the IPv4 address (host byte order), time to
    // live 255. `done` is always called later from the event loop, never from inside send().
    void send(quint32 ipv4, const QByteArray &payload, Callback done);

    // Replies from these addresses are dropped as if lost. Every loopback address answers, so
    // this is how dead hosts are modelled without sending anything off this machine.
    void setUnanswered(QSet<quint32> addresses) { m_unanswered = std::move(addresses); }

private:
    struct Pending {
        quint32 address = 0;
        qint64 sentNs = 0;
        qint64 sentWallNs = 0; // on the clock the kernel stamps replies with
        qint64 deadlineMs = 0;
        quint64 token = 0; // tells a reused sequence number from the one a deadline belongs to
        Callback done;
    };

    // The system's own half: opening and closing the socket, sending, reading and the clock
    // the system stamps replies with.
    void openSocket(Prefer prefer);
    void closeSocket();
    // Sends a built echo request; Success, or the status the echo ends with at once.
    qint32 sendPacket(quint32 ipv4, const QByteArray &packet);
    void readPending();
    void readErrors();
    static qint64 wallClockNs();

    void handlePacket(QByteArrayView packet, quint32 source, qint64 arrivedWallNs);
    // An ICMP error about one of our echoes that the system handed over on its own (datagram
    // echo sockets never see the error packet itself).
    void handleError(quint16 sequence, quint32 destination, quint32 source, quint8 type,
                     quint8 code, qint64 arrivedWallNs);
    void finish(quint16 sequence, const Reply &reply);
    void finishLater(Callback done, const Reply &reply);
    void expire();
    void armTimer();
    quint16 nextSequence();

    int m_timeoutMs;
    int m_fd = -1;
    Kind m_kind = Kind::None;
    QString m_unavailableReason;
    quint16 m_identifier = 0;
    quint16 m_sequence = 0;
    QSocketNotifier *m_notifier = nullptr;
    QTimer *m_timer = nullptr;
    QElapsedTimer m_clock;
    QHash<quint16, Pending> m_pending;
    QSet<quint32> m_unanswered;
    // Deadlines in sending order; all echoes share one time-out, so the queue stays sorted.
    std::deque<std::pair<quint64, quint16>> m_deadlines;
    quint64 m_nextToken = 1;
};

} // namespace platform
