#pragma once

#include "common/Timing.h"
#include "watch/ServerWatch.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

class WatchStore;
class AppRoot;
class clsGRServer;

// Watches servers and player names. After every ended query it compares the server's record
// with what the server's previous queries said and turns what changed into events: a watched
// server answering after not answering, its players reaching a number, a slot freeing up after
// it was full, a buddy showing up. Events become at most one notification per server in each
// notification interval; those that come later in it wait and go out together.
//
// A buddy found on a server the first time the server answers in this run, or when a pattern
// that matches them is added, is told of as playing there; "joined" is kept for those who come
// after. Until every listed server has been asked once, what is found is gathered into one
// notification.
//
// Watched servers (every server while there are buddies) are asked again at a steady pace of
// its own, whatever the windows show.
class WatchEngine : public QObject {
    Q_OBJECT
public:
    struct Settings {
        int requeryMs = Timing{}.listTickMs * Timing{}.requeryEveryTicks;
        int notifyEveryMs = Timing{}.notifyEveryMs;
    };

    // `store` may be closed: watches and buddies are then off for the run.
    WatchEngine(AppRoot &root, std::unique_ptr<WatchStore> store, Settings settings,
                QObject *parent = nullptr);
    ~WatchEngine() override;

    bool isAvailable() const;

    std::optional<ServerWatch> watchOf(const QString &address) const;
    bool isWatched(const QString &address) const { return m_watches.contains(keyOf(address)); }
    // The addresses of the watched servers, in no particular order.
    QStringList watchedAddresses() const;
    // Whether anything at all is watched: a server or a buddy.
    bool watchesAnything() const { return !m_watches.isEmpty() || !m_buddies.isEmpty(); }
    // A watch that asks nothing removes the server's watch.
    void setWatch(const ServerWatch &watch);
    void removeWatch(const QString &address);
    // The server left the list: its watch and all that was seen of it go too.
    void serverRemoved(const QString &address);

    // Starts the game on a server whose slot freed up for an automatic join; empty text when it
    // did, else why not (a game started from here still runs, or it cannot be started).
    using AutoJoin = std::function<QString(const QString &address)>;
    void setAutoJoin(AutoJoin join) { m_autoJoin = std::move(join); }
    // The player joined the server by hand: no automatic join there any more.
    void cancelAutoJoin(const QString &address);

    const QStringList &buddies() const { return m_buddies; }
    // False for an empty pattern or one already listed (letter case ignored).
    bool addBuddy(const QString &pattern);
    void removeBuddy(const QString &pattern);
    // True when a player of this name is a buddy.
    bool isBuddyName(const QString &name) const { return isBuddy(name.toCaseFolded()); }

    // What the servers list tells about the server: what is watched and the last event.
    QString toolTip(const QString &address) const;

    // A query of the server ended: answered (its record holds the reply) or not.
    void queryEnded(const QString &address, bool answered);
    // Asks every watched server again (every server while there are buddies), except those
    // being asked or asked within the last half interval.
    void requery();

signals:
    // A notification is due: `body` names the server and what happened, one event a line. The
    // start-up's summary of buddies on several servers has no one address: `address` is empty.
    void notificationReady(const QString &address, const QString &body);
    // A watch or a buddy came or went.
    void watchesChanged();

private:
    struct Seen {
        std::optional<bool> answered;
        std::optional<int> players;
        int slotCount = 0;
        std::optional<QStringList> names;
        qint64 endedAtMs = -1;
    };
    struct Outbox {
        QString address;
        QStringList pending;
        qint64 lastSentMs = -1;
        bool queued = false; // waits in m_due
    };
    struct Due {
        qint64 atMs;
        QString key;
    };

    struct Playing {
        QString address;
        QStringList names;
    };

    static QString keyOf(const QString &address) { return address.toCaseFolded(); }
    static QString serverLabel(const clsGRServer &record);
    bool isBuddy(const QString &foldedName) const;
    // Buddies first found on a server: gathered while start-up lasts, told of at once after.
    void foundPlaying(const clsGRServer &record, const QStringList &names);
    // Start-up is over: the buddies gathered go out in one notification.
    void endGathering();
    void post(const QString &address, const QStringList &events);
    void send(Outbox &box, qint64 now);
    void flushDue();
    void armFlush();

    AppRoot &m_root;
    AutoJoin m_autoJoin;
    std::unique_ptr<WatchStore> m_store;
    Settings m_settings;
    QHash<QString, ServerWatch> m_watches;
    QStringList m_buddies;
    QStringList m_foldedBuddies;
    QHash<QString, Seen> m_seen;
    int m_askedOnce = 0; // servers in m_seen whose query ended at least once
    bool m_gathering = true;
    QList<Playing> m_gathered;
    QHash<QString, Outbox> m_outbox;
    // Held notifications by when they may go out. Every wait is one interval from a send, so
    // the queue is in order.
    std::deque<Due> m_due;
    QHash<QString, QString> m_lastEvent;
    QElapsedTimer m_clock;
    QTimer m_requery;
    QTimer m_flush;
};
