#include "watch/WatchStore.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

WatchStore::WatchStore(QString connectionName)
    : m_connection(std::move(connectionName)) {
    const QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.isOpen())
        return;
    // Addresses and patterns compare without regard to letter case, as everywhere else.
    m_open = exec(QStringLiteral("CREATE TABLE IF NOT EXISTS watches ("
                                 "address TEXT PRIMARY KEY COLLATE NOCASE, "
                                 "answers_again INTEGER NOT NULL, "
                                 "players_reach INTEGER NOT NULL, "
                                 "players INTEGER NOT NULL, "
                                 "slot_frees INTEGER NOT NULL)")) &&
             exec(QStringLiteral("CREATE TABLE IF NOT EXISTS buddies ("
                                 "pattern TEXT PRIMARY KEY COLLATE NOCASE)"));
    // Files of earlier versions lack the automatic join; it fails harmlessly when present.
    if (m_open)
        exec(QStringLiteral("ALTER TABLE watches ADD COLUMN join_when_free INTEGER NOT NULL "
                            "DEFAULT 0"));
}

bool WatchStore::exec(const QString &sql, const QVariantList &values) const {
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.prepare(sql))
        return false;
    for (const QVariant &value : values)
        query.addBindValue(value);
    return query.exec();
}

QList<ServerWatch> WatchStore::watches() const {
    QList<ServerWatch> found;
    if (!m_open)
        return found;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(QStringLiteral("SELECT address, answers_again, players_reach, players, "
                                   "slot_frees, join_when_free FROM watches ORDER BY rowid")))
        return found;
    while (query.next()) {
        ServerWatch watch;
        watch.address = query.value(0).toString();
        watch.answersAgain = query.value(1).toInt() != 0;
        watch.playersReach = query.value(2).toInt() != 0;
        watch.players = qBound(1, query.value(3).toInt(), 255);
        watch.slotFrees = query.value(4).toInt() != 0;
        watch.joinWhenFree = watch.slotFrees && query.value(5).toInt() != 0;
        if (!watch.address.isEmpty() && watch.asksAnything())
            found << watch;
    }
    return found;
}

QStringList WatchStore::buddies() const {
    QStringList found;
    if (!m_open)
        return found;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(QStringLiteral("SELECT pattern FROM buddies ORDER BY rowid")))
        return found;
    while (query.next()) {
        const QString pattern = query.value(0).toString();
        if (!pattern.isEmpty())
            found << pattern;
    }
    return found;
}

bool WatchStore::saveWatch(const ServerWatch &watch) {
    return m_open && exec(QStringLiteral("INSERT INTO watches (address, answers_again, "
                                         "players_reach, players, slot_frees, join_when_free) "
                                         "VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT(address) DO "
                                         "UPDATE SET "
                                         "answers_again = excluded.answers_again, "
                                         "players_reach = excluded.players_reach, "
                                         "players = excluded.players, "
                                         "slot_frees = excluded.slot_frees, "
                                         "join_when_free = excluded.join_when_free"),
                          {watch.address, int(watch.answersAgain), int(watch.playersReach),
                           watch.players, int(watch.slotFrees), int(watch.joinWhenFree)});
}

bool WatchStore::removeWatch(const QString &address) {
    return m_open && exec(QStringLiteral("DELETE FROM watches WHERE address = ?"), {address});
}

bool WatchStore::addBuddy(const QString &pattern) {
    return m_open &&
           exec(QStringLiteral("INSERT OR IGNORE INTO buddies (pattern) VALUES (?)"), {pattern});
}

bool WatchStore::removeBuddy(const QString &pattern) {
    return m_open && exec(QStringLiteral("DELETE FROM buddies WHERE pattern = ?"), {pattern});
}
