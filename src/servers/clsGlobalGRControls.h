#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QMultiHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

class QUdpSocket;
class AppRoot;
class clsGRServer;

// The pool of query slots. A slot is what one server record queries its server through; it is
// bound to the record by the record's address text (its tag). The lowest free slot is handed
// out first and the pool only grows.
//
// However many slots there are, every query goes through one shared UDP socket: requests leave
// at a steady pace, each reply is routed by its source address to the waiting slot that queried
// that address (anything else is dropped), and the reply windows are deadlines in one queue
// driven by one timer. A window starts when its request actually leaves; when no reply has
// come some time into it, the same request goes once more (a datagram lost on the way is common
// enough on a busy link), still within that one window.
class clsGlobalGRControls : public QObject {
    Q_OBJECT
public:
    explicit clsGlobalGRControls(AppRoot &root, QObject *parent = nullptr);
    ~clsGlobalGRControls() override;

    // The index of a free slot (the lowest), growing the pool when every slot is taken.
    std::optional<int> fnNextTimerAndWinsock();

    int slotCount() const { return static_cast<int>(m_slots.size()); }
    QString slotTag(int slot) const;
    bool isQuerying(int slot) const;
    // The address the record's host name resolved to at its last query (nothing for a dotted
    // address, or when the name did not resolve).
    std::optional<quint32> resolvedAddress(int slot) const;

    // Called by the records: binding writes the slot's tag, releasing empties it and forgets
    // any query in flight on the slot.
    void bindSlot(int slot, const QString &tag);
    void releaseSlot(int slot);
    // Sends one status request to `host` (dotted address or host name) for the slot's record.
    void startQuery(int slot, const QString &host);

    // The slot's reply window ended / a reply reached the slot. Events on a free slot, or on a
    // slot whose record is gone, do nothing.
    void timerFired(int slot);
    void dataArrival(int slot, const QByteArray &datagram, qint32 roundTripMs);

    // What a send did: sent, failed with a description, or asked to be repeated (the system
    // had no buffer space at that moment).
    struct SendOutcome {
        enum Kind { Sent, Failed, Repeat } kind = Sent;
        QString description;
    };
    using Sender = std::function<SendOutcome(const QByteArray &, const QHostAddress &, quint16)>;
    // Replaces how datagrams are sent (a fault-injection point for tests).
    void setSender(Sender sender) { m_sender = std::move(sender); }

    // Requests sent per pacing tick (one tick a millisecond).
    void setSendsPerTick(int count) { m_sendsPerTick = qMax(1, count); }

    struct Counters {
        quint64 sent = 0;
        quint64 received = 0;
        quint64 delivered = 0; // routed to a waiting slot
        quint64 dropped = 0;   // from an address no waiting slot queried, or unreadable
        quint64 sendFailures = 0;
        quint64 resent = 0; // requests sent a second time (counted in `sent` as well)
    };
    const Counters &counters() const { return m_counters; }
    // The local port of the shared socket (0 before the first send).
    quint16 localPort() const;

signals:
    // A query ended: its reply was taken by the record, or its window ended without one.
    void queryEnded(const QString &address, bool answered);

private:
    struct Slot {
        QString tag;
        quint32 generation = 0; // changes whenever a query starts or is abandoned
        bool querying = false;  // a request is outstanding (being resolved, sent or answered)
        bool routed = false;    // its request left and a reply from `address` is taken
        bool resent = false;    // the request went a second time in this window
        quint32 address = 0;
        qint64 sentAtNs = 0;
        // What the host name of the slot's record resolved to at its last query; nothing
        // while that lookup failed (or before any).
        std::optional<quint32> resolved;
    };
    struct PendingSend {
        int slot;
        quint32 generation;
        quint32 address;
        int repeats = 0;
        bool resend = false; // the second request of a window already running
    };
    struct Deadline {
        qint64 atNs;
        int slot;
        quint32 generation;
    };

    bool validSlot(int slot) const { return slot >= 0 && slot < slotCount(); }
    clsGRServer *recordFor(int slot) const;
    void ensureSocket();
    void readPending();
    void sendSome();
    void armWindow(int slot);
    void armWindowTimer();
    void windowsDue();
    void resendsDue(qint64 now);
    void endQuery(int slot);
    void hostResolved(int slot, quint32 generation, std::optional<quint32> address);
    // Puts the request for `slot` in the paced send queue.
    void queueSend(int slot, quint32 generation, quint32 ipv4);
    SendOutcome sendNow(const QByteArray &datagram, const QHostAddress &to, quint16 port);
    // False when the player gave up on this send (or its cause was already reported).
    bool reportSendFailure(const QString &description, bool &retry);

    AppRoot &m_root;
    std::vector<Slot> m_slots;
    QUdpSocket *m_socket = nullptr;
    QElapsedTimer m_clock;
    std::deque<PendingSend> m_sendQueue;
    std::deque<Deadline> m_deadlines;
    std::deque<Deadline> m_resends;    // when each unanswered request goes again
    QMultiHash<quint32, int> m_routes; // queried address -> slots awaiting its reply
    QTimer m_paceTimer;
    QTimer m_windowTimer;
    // About 8,000 requests a second: the replies (a few hundred bytes each) stay within what a
    // home connection takes in, and thousands of servers are still asked within a second or two.
    int m_sendsPerTick = 8;
    bool m_prompting = false;
    QSet<QString> m_reportedCauses; // send failures already shown in this round of sends
    Sender m_sender;
    Counters m_counters;
    QByteArray m_request;
};
