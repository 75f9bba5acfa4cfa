#pragma once

#include "common/Timing.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class QUdpSocket;
class clsGRServer;

// Finds the Ghost Recon servers on the local network: the status request goes to port 2348 of
// the broadcast address of every IPv4 interface that is up and can broadcast (a LAN, or a VPN
// that carries broadcasts), and every server that answers within the search time is kept, read
// the way every reply is read. Nothing waits: the socket and the timers drive the search.
class LanServerFinder : public QObject {
    Q_OBJECT
public:
    // What the choice of broadcast addresses needs to know of one network interface.
    struct Interface {
        struct Entry {
            QHostAddress ip;
            QHostAddress broadcast; // null when the system gave none
            int prefixLength = -1;
        };
        QString name;
        bool up = false;
        bool canBroadcast = false;
        bool loopback = false;
        QList<Entry> entries;
    };

    // The interfaces of the system (of the network namespace the calling thread is in).
    static QList<Interface> systemInterfaces();
    // The broadcast address of every IPv4 entry of every interface that is up and can broadcast,
    // each once, in the interfaces' order. An entry the system gave no broadcast address takes
    // the top address of its subnet.
    static QList<QHostAddress> broadcastAddresses(const QList<Interface> &interfaces);

    // Decides whether a search may send to a broadcast address; by default it may to every
    // one. An address refused is left out as if no interface had it.
    using TargetCheck = std::function<bool(const QHostAddress &)>;
    static void setTargetCheck(TargetCheck check);

    // Answers past this many are dropped: a flood of answers must not grow the list for ever.
    static constexpr int maxServers = 4096;

    explicit LanServerFinder(const Timing &timing = {}, QObject *parent = nullptr);
    ~LanServerFinder() override;

    // Starts a search on the system's broadcast addresses, forgetting what an earlier one found.
    // False when there is none (nothing is sent and no search runs) or no socket can be had.
    bool start();
    bool isSearching() const { return m_searching; }
    // Where the last search sent its request.
    const QList<QHostAddress> &targets() const { return m_targets; }
    // Why the last search could not send, when it could not send at all (or to some address).
    const QString &sendError() const { return m_sendError; }

    // The servers found so far, in the order they answered: records that are in no collection,
    // with the address they answered from as their IP and their answer read in.
    int count() const { return static_cast<int>(m_found.size()); }
    const clsGRServer &at(int index) const { return *m_found[static_cast<size_t>(index)]; }

    // Datagrams read that made no server (from another port, unreadable, or from an address
    // already found).
    quint64 ignored() const { return m_ignored; }

signals:
    void serverFound(int index);
    void finished();

private:
    void send();
    void readAnswers();
    void finish();
    void dropSocket();

    Timing m_timing;
    QUdpSocket *m_socket = nullptr;
    QTimer m_end;
    QTimer m_resend;
    QElapsedTimer m_sentAt;
    QList<QHostAddress> m_targets;
    QString m_sendError;
    std::vector<std::unique_ptr<clsGRServer>> m_found;
    QSet<quint32> m_foundAddresses;
    quint64 m_ignored = 0;
    bool m_searching = false;
};
