#include "history/HistoryWriter.h"

#include "platform/FileIdentity.h"

#include "history/HistorySchema.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QPair>
#include <QSqlDatabase>
#include <QVariant>

#include <optional>
#include <utility>

using namespace HistorySchema;

namespace {

QVariant nullable(qint64 seconds) {
    return seconds > 0 ? QVariant(seconds) : QVariant(QMetaType::fromType<qint64>());
}

bool sameFinding(const HistoryObservation &a, const HistoryObservation &b) {
    return a.answered == b.answered && a.players == b.players && a.maxPlayers == b.maxPlayers &&
           a.map == b.map && a.mission == b.mission && a.gameType == b.gameType &&
           a.state == b.state && a.names == b.names;
}

} // namespace

HistoryWriter::HistoryWriter(QString path, QString connection)
    : m_path(std::move(path))
    , m_connection(std::move(connection)) {}

QString HistoryWriter::start() {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
    if (!db.open())
        return db.lastError().text();
    m_identity = platform::fileIdentity(m_path);
    QSqlQuery pragma(db);
    pragma.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    m_findServer = prepared(db, "SELECT id, last_query, last_answered, last_with_players "
                                "FROM servers WHERE address = ?");
    m_insertServer = prepared(db, "INSERT INTO servers(address, first_seen) VALUES(?, ?)");
    m_lastChange = prepared(db, "SELECT time, answered, players, max_players, map, mission, "
                                "game_type, state, names FROM changes WHERE server = ? "
                                "ORDER BY time DESC LIMIT 1");
    m_insertChange =
        prepared(db, "INSERT OR REPLACE INTO changes VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    m_updateServer = prepared(db, "UPDATE servers SET last_query = ?, last_answered = ?, "
                                  "last_with_players = ? WHERE id = ?");
    m_addHour = prepared(db, "INSERT INTO hourly VALUES(?, ?, ?, ?, ?, ?) "
                             "ON CONFLICT(server, hour) DO UPDATE SET "
                             "queries = queries + excluded.queries, "
                             "answers = answers + excluded.answers, "
                             "player_sum = player_sum + excluded.player_sum, "
                             "player_max = max(player_max, excluded.player_max)");
    return m_error;
}

void HistoryWriter::stop() {
    m_known.clear();
    for (QSqlQuery *q : {&m_findServer, &m_insertServer, &m_lastChange, &m_insertChange,
                         &m_updateServer, &m_addHour})
        *q = QSqlQuery();
    QSqlDatabase::removeDatabase(m_connection);
}

QString HistoryWriter::write(const std::vector<HistoryObservation> &batch) {
    if (!m_error.isEmpty())
        return {};
    if (platform::fileIdentity(m_path) != m_identity)
        return failed(QSqlError(
            QString(), QCoreApplication::translate("HistoryWriter", "the file was removed")));
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.transaction())
        return failed(db.lastError());
    struct Hour {
        qint64 queries = 0, answers = 0, playerSum = 0, playerMax = 0;
    };
    QHash<QPair<qint64, qint64>, Hour> hours;
    QList<Known *> touched;
    qint64 latest = 0;
    for (const HistoryObservation &o : batch) {
        Known *known = knownFor(o);
        if (!known)
            return failed(m_lastError);
        Hour &h = hours[{known->id, o.time / 3600}];
        ++h.queries;
        if (o.answered) {
            ++h.answers;
            h.playerSum += o.players;
            h.playerMax = qMax<qint64>(h.playerMax, o.players);
        }
        if (!known->hasRow || !sameFinding(known->last, o) ||
            o.time - known->lastRowTime >= HistoryStore::heartbeatSeconds) {
            bindAll(m_insertChange, {known->id, o.time, o.answered ? 1 : 0, o.players, o.maxPlayers,
                                     o.map, o.mission, o.gameType, o.state, joinNames(o.names)});
            if (!m_insertChange.exec())
                return failed(m_insertChange.lastError());
            known->last = o;
            known->lastRowTime = o.time;
            known->hasRow = true;
        }
        known->lastQuery = qMax(known->lastQuery, o.time);
        if (o.answered)
            known->lastAnswered = qMax(known->lastAnswered, o.time);
        if (o.answered && o.players > 0)
            known->lastWithPlayers = qMax(known->lastWithPlayers, o.time);
        if (!known->touched) {
            known->touched = true;
            touched << known;
        }
        latest = qMax(latest, o.time);
    }
    for (Known *known : std::as_const(touched)) {
        known->touched = false;
        bindAll(m_updateServer, {nullable(known->lastQuery), nullable(known->lastAnswered),
                                 nullable(known->lastWithPlayers), known->id});
        if (!m_updateServer.exec())
            return failed(m_updateServer.lastError());
    }
    for (auto it = hours.cbegin(); it != hours.cend(); ++it) {
        bindAll(m_addHour, {it.key().first, it.key().second, it->queries, it->answers,
                            it->playerSum, it->playerMax});
        if (!m_addHour.exec())
            return failed(m_addHour.lastError());
    }
    // Detail older than two days is only kept as hourly figures.
    if (latest / 3600 != m_trimmedHour) {
        m_trimmedHour = latest / 3600;
        QSqlQuery trim(db);
        trim.prepare(QStringLiteral("DELETE FROM changes WHERE time < ?"));
        trim.addBindValue(latest - HistoryStore::detailDays * secondsPerDay);
        if (!trim.exec())
            return failed(trim.lastError());
    }
    if (!db.commit())
        return failed(db.lastError());
    return {};
}

QString HistoryWriter::prune(qint64 now) {
    if (!m_error.isEmpty())
        return {};
    m_known.clear(); // rows of pruned servers go
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.transaction())
        return failed(db.lastError());
    const qint64 oldest = now - HistoryStore::keepDays * secondsPerDay;
    const std::pair<const char *, std::optional<qint64>> steps[] = {
        {"DELETE FROM hourly WHERE hour < ?", oldest / 3600},
        {"DELETE FROM changes WHERE time < ?", now - HistoryStore::detailDays * secondsPerDay},
        {"DELETE FROM servers WHERE coalesce(last_query, first_seen) < ?", oldest},
        {"DELETE FROM hourly WHERE server NOT IN (SELECT id FROM servers)", std::nullopt},
        {"DELETE FROM changes WHERE server NOT IN (SELECT id FROM servers)", std::nullopt},
    };
    for (const auto &[sql, value] : steps) {
        QSqlQuery q(db);
        q.prepare(sqlText(sql));
        if (value)
            q.addBindValue(*value);
        if (!q.exec())
            return failed(q.lastError());
    }
    if (!db.commit())
        return failed(db.lastError());
    QSqlQuery(db).exec(QStringLiteral("PRAGMA incremental_vacuum"));
    return {};
}

QSqlQuery HistoryWriter::prepared(const QSqlDatabase &db, const char *sql) {
    QSqlQuery q(db);
    if (!q.prepare(sqlText(sql)) && m_error.isEmpty())
        m_error = q.lastError().text();
    return q;
}

void HistoryWriter::bindAll(QSqlQuery &q, std::initializer_list<QVariant> values) {
    int i = 0;
    for (const QVariant &v : values)
        q.bindValue(i++, v);
}

HistoryWriter::Known *HistoryWriter::knownFor(const HistoryObservation &o) {
    const QString key = o.address.toLower();
    auto it = m_known.find(key);
    if (it != m_known.end())
        return &it->second;
    Known known;
    m_findServer.bindValue(0, o.address);
    if (!m_findServer.exec()) {
        m_lastError = m_findServer.lastError();
        return nullptr;
    }
    if (m_findServer.next()) {
        known.id = m_findServer.value(0).toLongLong();
        known.lastQuery = m_findServer.value(1).toLongLong();
        known.lastAnswered = m_findServer.value(2).toLongLong();
        known.lastWithPlayers = m_findServer.value(3).toLongLong();
        m_findServer.finish();
        m_lastChange.bindValue(0, known.id);
        if (!m_lastChange.exec()) {
            m_lastError = m_lastChange.lastError();
            return nullptr;
        }
        if (m_lastChange.next()) {
            known.hasRow = true;
            known.lastRowTime = m_lastChange.value(0).toLongLong();
            known.last.answered = m_lastChange.value(1).toBool();
            known.last.players = m_lastChange.value(2).toInt();
            known.last.maxPlayers = m_lastChange.value(3).toInt();
            known.last.map = m_lastChange.value(4).toString();
            known.last.mission = m_lastChange.value(5).toString();
            known.last.gameType = m_lastChange.value(6).toString();
            known.last.state = m_lastChange.value(7).toString();
            known.last.names = splitNames(m_lastChange.value(8).toString());
        }
        m_lastChange.finish();
    } else {
        m_findServer.finish();
        m_insertServer.bindValue(0, o.address);
        m_insertServer.bindValue(1, o.time);
        if (!m_insertServer.exec()) {
            m_lastError = m_insertServer.lastError();
            return nullptr;
        }
        known.id = m_insertServer.lastInsertId().toLongLong();
    }
    return &m_known.emplace(key, known).first->second;
}

QString HistoryWriter::failed(const QSqlError &error) {
    QSqlDatabase::database(m_connection, false).rollback();
    // Ids handed out inside the rolled-back transaction are gone.
    m_known.clear();
    m_error = error.text().isEmpty() ? QCoreApplication::translate("HistoryWriter", "write failed")
                                     : error.text();
    return m_error;
}
