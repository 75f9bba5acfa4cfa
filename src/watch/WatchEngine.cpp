#include "watch/WatchEngine.h"

#include "root/AppRoot.h"
#include "servers/clsGRServers.h"
#include "watch/BuddyPattern.h"
#include "watch/WatchStore.h"

#include <QTime>

#include <utility>
#include <vector>

WatchEngine::WatchEngine(AppRoot &root, std::unique_ptr<WatchStore> store, Settings settings,
                         QObject *parent)
    : QObject(parent)
    , m_root(root)
    , m_store(std::move(store))
    , m_settings(settings) {
    m_clock.start();
    if (isAvailable()) {
        for (const ServerWatch &watch : m_store->watches())
            m_watches.insert(keyOf(watch.address), watch);
        m_buddies = m_store->buddies();
        for (const QString &pattern : std::as_const(m_buddies))
            m_foldedBuddies << pattern.toCaseFolded();
    }
    m_requery.setInterval(qMax(1, m_settings.requeryMs));
    connect(&m_requery, &QTimer::timeout, this, &WatchEngine::requery);
    if (isAvailable())
        m_requery.start();
    m_flush.setSingleShot(true);
    connect(&m_flush, &QTimer::timeout, this, &WatchEngine::flushDue);
}

WatchEngine::~WatchEngine() = default;

bool WatchEngine::isAvailable() const {
    return m_store && m_store->isOpen();
}

std::optional<ServerWatch> WatchEngine::watchOf(const QString &address) const {
    const auto it = m_watches.constFind(keyOf(address));
    if (it == m_watches.constEnd())
        return std::nullopt;
    return *it;
}

void WatchEngine::setWatch(const ServerWatch &watch) {
    if (!isAvailable() || watch.address.isEmpty())
        return;
    if (!watch.asksAnything()) {
        removeWatch(watch.address);
        return;
    }
    ServerWatch kept = watch;
    kept.players = qBound(1, kept.players, 255);
    kept.joinWhenFree = kept.joinWhenFree && kept.slotFrees;
    m_watches.insert(keyOf(kept.address), kept);
    // A failed write keeps the watch for this run; nothing to tell the player mid-game.
    m_store->saveWatch(kept);
    emit watchesChanged();
}

QStringList WatchEngine::watchedAddresses() const {
    QStringList addresses;
    for (const ServerWatch &watch : m_watches)
        addresses << watch.address;
    return addresses;
}

void WatchEngine::removeWatch(const QString &address) {
    const bool was = m_watches.remove(keyOf(address));
    if (m_store)
        m_store->removeWatch(address);
    if (was)
        emit watchesChanged();
}

void WatchEngine::serverRemoved(const QString &address) {
    removeWatch(address);
    const QString key = keyOf(address);
    const auto seen = m_seen.constFind(key);
    if (seen != m_seen.constEnd() && seen->answered)
        --m_askedOnce;
    m_seen.remove(key);
    m_outbox.remove(key);
    m_gathered.removeIf([&](const Playing &p) { return keyOf(p.address) == key; });
    m_lastEvent.remove(key);
}

void WatchEngine::cancelAutoJoin(const QString &address) {
    if (auto watch = watchOf(address); watch && watch->joinWhenFree) {
        watch->joinWhenFree = false;
        setWatch(*watch);
    }
}

bool WatchEngine::addBuddy(const QString &pattern) {
    const QString kept = pattern.trimmed();
    if (!isAvailable() || kept.isEmpty() || m_buddies.contains(kept, Qt::CaseInsensitive))
        return false;
    // Who the new pattern finds on a server now, and no other pattern found before.
    const QString folded = kept.toCaseFolded();
    std::vector<std::pair<const clsGRServer *, QStringList>> found;
    if (m_root.GRServers()) {
        for (const clsGRServer &record : *m_root.GRServers()) {
            const auto seen = m_seen.constFind(keyOf(record.IP()));
            if (seen == m_seen.constEnd() || seen->answered != true || !seen->names)
                continue;
            QStringList names;
            for (const QString &name : *seen->names) {
                const QString foldedName = name.toCaseFolded();
                if (buddyMatchesFolded(folded, foldedName) && !isBuddy(foldedName))
                    names << name;
            }
            if (!names.isEmpty())
                found.emplace_back(&record, names);
        }
    }
    m_buddies << kept;
    m_foldedBuddies << folded;
    m_store->addBuddy(kept);
    for (const auto &[record, names] : found)
        foundPlaying(*record, names);
    emit watchesChanged();
    return true;
}

void WatchEngine::removeBuddy(const QString &pattern) {
    for (qsizetype i = 0; i < m_buddies.size(); ++i) {
        if (m_buddies[i].compare(pattern, Qt::CaseInsensitive) == 0) {
            if (m_store)
                m_store->removeBuddy(m_buddies[i]);
            m_buddies.removeAt(i);
            m_foldedBuddies.removeAt(i);
            emit watchesChanged();
            return;
        }
    }
}

bool WatchEngine::isBuddy(const QString &foldedName) const {
    for (const QString &pattern : m_foldedBuddies)
        if (buddyMatchesFolded(pattern, foldedName))
            return true;
    return false;
}

QString WatchEngine::toolTip(const QString &address) const {
    QStringList lines;
    if (const auto watch = watchOf(address)) {
        QStringList asked;
        if (watch->answersAgain)
            asked << tr("answers again");
        if (watch->playersReach)
            asked << tr("players reach %1").arg(watch->players);
        if (watch->slotFrees)
            asked << tr("a slot frees up");
        lines << tr("Watched: %1").arg(asked.join(QStringLiteral(", ")));
    }
    const QString last = m_lastEvent.value(keyOf(address));
    if (!last.isEmpty())
        lines << last;
    return lines.join(u'\n');
}

void WatchEngine::queryEnded(const QString &address, bool answered) {
    if (!isAvailable() || !m_root.GRServers())
        return;
    const clsGRServer *record = m_root.GRServers()->Item(address);
    if (!record)
        return;
    const QString key = keyOf(address);
    Seen &seen = m_seen[key];
    seen.endedAtMs = m_clock.elapsed();
    if (!seen.answered)
        ++m_askedOnce;
    const auto watch = m_watches.constFind(key);
    const bool watched = watch != m_watches.constEnd();

    // A condition fires when it turns true after the previous query found it false, so it
    // fires again only after one whole query without it.
    QStringList events;
    if (watched && watch->answersAgain && seen.answered == false && answered)
        events << tr("answers again");
    seen.answered = answered;
    if (answered) {
        // A server that does not answer says nothing about its players: that waits for the
        // next answer.
        const int players = record->PlayerCount();
        const int seats = record->MaxPlayers() - (record->Dedicated() ? 1 : 0);
        if (watched && seen.players) {
            if (watch->playersReach && *seen.players < watch->players && players >= watch->players)
                events << tr("%1 players").arg(record->PlayerCountString());
            if (watch->slotFrees && *seen.players >= seen.slotCount && players < seats) {
                QString event = tr("a slot is free (%1 players)").arg(record->PlayerCountString());
                if (watch->joinWhenFree && m_autoJoin) {
                    // Once: a join that started the game turns itself off; one that could not
                    // start it waits for the next free slot.
                    const QString notJoined = m_autoJoin(record->IP());
                    if (notJoined.isEmpty()) {
                        event += tr("; joining it");
                        ServerWatch done = *watch;
                        done.joinWhenFree = false;
                        setWatch(done);
                    } else {
                        event += tr("; not joined: %1").arg(notJoined);
                    }
                }
                events << event;
            }
        }
        seen.players = players;
        seen.slotCount = seats;

        QStringList names;
        for (const QString &name : record->Players())
            names << name;
        // The server's first answer tells who is there, not who came: they are playing.
        QStringList playing;
        if (!m_buddies.isEmpty()) {
            for (const QString &name : names) {
                if (!isBuddy(name.toCaseFolded()))
                    continue;
                if (!seen.names)
                    playing << name;
                else if (!seen.names->contains(name))
                    events << tr("%1 joined").arg(name);
            }
        }
        seen.names = std::move(names);
        if (m_gathering && !playing.isEmpty())
            foundPlaying(*record, playing);
        else
            for (const QString &name : std::as_const(playing))
                events << tr("%1 is playing").arg(name);
    }
    if (!events.isEmpty())
        post(record->IP(), events);
    if (m_gathering && m_askedOnce >= m_root.GRServers()->Count())
        endGathering();
}

QString WatchEngine::serverLabel(const clsGRServer &record) {
    const QString &name = record.Name();
    return name.isEmpty() || name == record.IP() ? record.IP()
                                                 : name + QStringLiteral(" (") + record.IP() + u')';
}

void WatchEngine::foundPlaying(const clsGRServer &record, const QStringList &names) {
    if (m_gathering) {
        const QString key = keyOf(record.IP());
        for (Playing &p : m_gathered) {
            if (keyOf(p.address) == key) {
                for (const QString &name : names)
                    if (!p.names.contains(name))
                        p.names << name;
                return;
            }
        }
        m_gathered.append({record.IP(), names});
        return;
    }
    QStringList events;
    for (const QString &name : names)
        events << tr("%1 is playing").arg(name);
    post(record.IP(), events);
}

void WatchEngine::endGathering() {
    m_gathering = false;
    const QList<Playing> gathered = std::exchange(m_gathered, {});
    clsGRServers *servers = m_root.GRServers();
    if (gathered.isEmpty() || !servers)
        return;
    // Buddies on one server make that server's own notification, with its Join.
    if (gathered.size() == 1) {
        if (const clsGRServer *record = servers->Item(gathered.front().address))
            foundPlaying(*record, gathered.front().names);
        return;
    }
    QStringList lines{tr("Buddies playing")};
    const qint64 now = m_clock.elapsed();
    const QString at = QTime::currentTime().toString(QStringLiteral("HH:mm"));
    for (const Playing &p : gathered) {
        const clsGRServer *record = servers->Item(p.address);
        if (!record)
            continue;
        lines << tr("%1 on %2").arg(p.names.join(QStringLiteral(", ")), serverLabel(*record));
        QStringList events;
        for (const QString &name : p.names)
            events << tr("%1 is playing").arg(name);
        const QString key = keyOf(p.address);
        m_lastEvent.insert(key,
                           tr("Last event at %1: %2").arg(at, events.join(QStringLiteral(", "))));
        // The summary counts as each server's notification of this interval.
        Outbox &box = m_outbox[key];
        box.address = record->IP();
        box.lastSentMs = now;
    }
    emit notificationReady(QString(), lines.join(u'\n'));
}

void WatchEngine::post(const QString &address, const QStringList &events) {
    const QString key = keyOf(address);
    m_lastEvent.insert(key, tr("Last event at %1: %2")
                                .arg(QTime::currentTime().toString(QStringLiteral("HH:mm")),
                                     events.join(QStringLiteral(", "))));
    Outbox &box = m_outbox[key];
    box.address = address;
    for (const QString &event : events)
        if (!box.pending.contains(event))
            box.pending << event;
    const qint64 now = m_clock.elapsed();
    if (box.lastSentMs < 0 || now - box.lastSentMs >= m_settings.notifyEveryMs) {
        send(box, now);
        return;
    }
    if (!box.queued) {
        box.queued = true;
        m_due.push_back({box.lastSentMs + m_settings.notifyEveryMs, key});
        if (!m_flush.isActive())
            armFlush();
    }
}

void WatchEngine::send(Outbox &box, qint64 now) {
    const clsGRServer *record =
        m_root.GRServers() ? m_root.GRServers()->Item(box.address) : nullptr;
    if (box.pending.isEmpty() || !record) {
        box.pending.clear();
        return;
    }
    const QString body = serverLabel(*record) + u'\n' + box.pending.join(u'\n');
    box.pending.clear();
    box.lastSentMs = now;
    emit notificationReady(record->IP(), body);
}

void WatchEngine::flushDue() {
    const qint64 now = m_clock.elapsed();
    while (!m_due.empty() && m_due.front().atMs <= now) {
        const QString key = m_due.front().key;
        m_due.pop_front();
        const auto box = m_outbox.find(key);
        // The server went meanwhile (and maybe came back, with a wait of its own).
        if (box == m_outbox.end() || !box->queued ||
            now - box->lastSentMs < m_settings.notifyEveryMs)
            continue;
        box->queued = false;
        send(*box, now);
    }
    armFlush();
}

void WatchEngine::armFlush() {
    if (m_due.empty()) {
        m_flush.stop();
        return;
    }
    m_flush.start(static_cast<int>(qMax<qint64>(0, m_due.front().atMs - m_clock.elapsed())));
}

void WatchEngine::requery() {
    clsGRServers *servers = m_root.GRServers();
    if (!servers || !isAvailable())
        return;
    // A server never asked (or still being asked) does not hold the start-up's summary back
    // past the first interval.
    if (m_gathering)
        endGathering();
    const qint64 now = m_clock.elapsed();
    const auto ask = [&](clsGRServer &record) {
        const auto seen = m_seen.constFind(keyOf(record.IP()));
        // Already asked by the servers list not long ago: one answer in an interval is enough.
        if (seen != m_seen.constEnd() && seen->endedAtMs >= 0 &&
            now - seen->endedAtMs < m_settings.requeryMs / 2)
            return;
        record.Refresh(); // does nothing while a query of the server is in flight
    };
    if (!m_buddies.isEmpty()) {
        for (clsGRServer &record : *servers)
            ask(record);
        return;
    }
    for (const ServerWatch &watch : std::as_const(m_watches))
        if (clsGRServer *record = servers->Item(watch.address))
            ask(*record);
}
