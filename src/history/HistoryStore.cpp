#include "history/HistoryStore.h"

#include "servers/clsGRServer.h"
#include "servers/clsGlobalGRControls.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>

#include <QCoreApplication>
#include <QTimeZone>

#include <atomic>
#include <map>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {
constexpr qint64 secondsPerDay = 24 * 3600;
constexpr int busyTimeoutMs = 2000;
// A round bigger than this is written at once instead of waiting for the batch timer.
constexpr size_t flushAtCount = 5000;

const char *const schema[] = {
    "CREATE TABLE IF NOT EXISTS servers(id INTEGER PRIMARY KEY, address TEXT NOT NULL UNIQUE "
    "COLLATE NOCASE, first_seen INTEGER NOT NULL, last_query INTEGER, last_answered INTEGER, "
    "last_with_players INTEGER)",
    "CREATE TABLE IF NOT EXISTS changes(server INTEGER NOT NULL, time INTEGER NOT NULL, "
    "answered INTEGER NOT NULL, players INTEGER NOT NULL, max_players INTEGER NOT NULL, "
    "map TEXT, mission TEXT, game_type TEXT, state TEXT, "
    "names TEXT, PRIMARY KEY(server, time)) WITHOUT ROWID",
    "CREATE TABLE IF NOT EXISTS hourly(server INTEGER NOT NULL, hour INTEGER NOT NULL, "
    "queries INTEGER NOT NULL, answers INTEGER NOT NULL, player_sum INTEGER NOT NULL, "
    "player_max INTEGER NOT NULL, PRIMARY KEY(server, hour)) WITHOUT ROWID",
};

QString text(const char *sql) {
    return QString::fromLatin1(sql);
}

// SQLite's own codes for a file that is not (or no longer) a sound database.
bool isDamage(const QSqlError &error) {
    const QString code = error.nativeErrorCode();
    return code == u"11" || code == u"26";
}

bool hasSqliteHeader(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true; // unreadable is not damaged; opening says why
    const QByteArray head = file.read(16);
    return head.isEmpty() || head == QByteArray("SQLite format 3\0", 16);
}

QVariant nullable(qint64 seconds) {
    return seconds > 0 ? QVariant(seconds) : QVariant(QMetaType::fromType<qint64>());
}

std::optional<QDateTime> timeOf(const QVariant &value) {
    if (value.isNull())
        return std::nullopt;
    return QDateTime::fromSecsSinceEpoch(value.toLongLong(), Qt::UTC);
}

QString joinNames(const QStringList &names) {
    return names.join(u'\n');
}

QStringList splitNames(const QString &names) {
    return names.isEmpty() ? QStringList() : names.split(u'\n');
}

bool sameFinding(const HistoryObservation &a, const HistoryObservation &b) {
    return a.answered == b.answered && a.players == b.players && a.maxPlayers == b.maxPlayers &&
           a.map == b.map && a.mission == b.mission && a.gameType == b.gameType &&
           a.state == b.state && a.names == b.names;
}

// Which file a path names now: a file removed (or put back anew) while it is open is written
// on unseen, and everything written into it is lost.
struct FileIdentity {
    bool exists = false;
    quint64 device = 0, inode = 0;
    bool operator==(const FileIdentity &) const = default;
};

FileIdentity identityOf(const QString &path) {
    FileIdentity id;
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
        id.exists = true;
        id.device = static_cast<quint64>(st.st_dev);
        id.inode = static_cast<quint64>(st.st_ino);
    }
#else
    // An open file cannot be removed here.
    id.exists = QFileInfo::exists(path);
#endif
    return id;
}

QString connectionFor(const QString &base) {
    static std::atomic<int> counter{0};
    return base + QString::number(++counter);
}
} // namespace

// Owns the second connection to the file and does every write, on the store's own thread.
class HistoryStore::Writer {
public:
    Writer(QString path, QString connection)
        : m_path(std::move(path))
        , m_connection(std::move(connection)) {}

    // The failure text when the file cannot be opened for writing.
    QString start() {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        db.setDatabaseName(m_path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
        if (!db.open())
            return db.lastError().text();
        m_identity = identityOf(m_path);
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

    void stop() {
        m_known.clear();
        for (QSqlQuery *q : {&m_findServer, &m_insertServer, &m_lastChange, &m_insertChange,
                             &m_updateServer, &m_addHour})
            *q = QSqlQuery();
        QSqlDatabase::removeDatabase(m_connection);
    }

    // One transaction for the whole batch. The failure text, or empty.
    QString write(const std::vector<HistoryObservation> &batch) {
        if (!m_error.isEmpty())
            return {};
        if (identityOf(m_path) != m_identity)
            return failed(QSqlError(QString(), QStringLiteral("the file was removed")));
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
                o.time - known->lastRowTime >= heartbeatSeconds) {
                bindAll(m_insertChange,
                        {known->id, o.time, o.answered ? 1 : 0, o.players, o.maxPlayers, o.map,
                         o.mission, o.gameType, o.state, joinNames(o.names)});
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
            trim.addBindValue(latest - detailDays * secondsPerDay);
            if (!trim.exec())
                return failed(trim.lastError());
        }
        if (!db.commit())
            return failed(db.lastError());
        return {};
    }

    QString prune(qint64 now) {
        if (!m_error.isEmpty())
            return {};
        m_known.clear(); // rows of pruned servers go
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (!db.transaction())
            return failed(db.lastError());
        const qint64 oldest = now - keepDays * secondsPerDay;
        const std::pair<const char *, std::optional<qint64>> steps[] = {
            {"DELETE FROM hourly WHERE hour < ?", oldest / 3600},
            {"DELETE FROM changes WHERE time < ?", now - detailDays * secondsPerDay},
            {"DELETE FROM servers WHERE coalesce(last_query, first_seen) < ?", oldest},
            {"DELETE FROM hourly WHERE server NOT IN (SELECT id FROM servers)", std::nullopt},
            {"DELETE FROM changes WHERE server NOT IN (SELECT id FROM servers)", std::nullopt},
        };
        for (const auto &[sql, value] : steps) {
            QSqlQuery q(db);
            q.prepare(text(sql));
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

private:
    struct Known {
        qint64 id = 0;
        bool hasRow = false;
        bool touched = false;
        HistoryObservation last;
        qint64 lastRowTime = 0;
        qint64 lastQuery = 0, lastAnswered = 0, lastWithPlayers = 0;
    };

    QSqlQuery prepared(const QSqlDatabase &db, const char *sql) {
        QSqlQuery q(db);
        if (!q.prepare(text(sql)) && m_error.isEmpty())
            m_error = q.lastError().text();
        return q;
    }

    static void bindAll(QSqlQuery &q, std::initializer_list<QVariant> values) {
        int i = 0;
        for (const QVariant &v : values)
            q.bindValue(i++, v);
    }

    Known *knownFor(const HistoryObservation &o) {
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

    QString failed(const QSqlError &error) {
        QSqlDatabase::database(m_connection, false).rollback();
        // Ids handed out inside the rolled-back transaction are gone.
        m_known.clear();
        m_error = error.text().isEmpty() ? QStringLiteral("write failed") : error.text();
        return m_error;
    }

    QString m_path;
    QString m_connection;
    FileIdentity m_identity;
    QString m_error;
    QSqlError m_lastError;
    std::map<QString, Known> m_known; // its entries stay put while others are added
    qint64 m_trimmedHour = -1;
    QSqlQuery m_findServer, m_insertServer, m_lastChange, m_insertChange, m_updateServer, m_addHour;
};

HistoryStore::HistoryStore(QObject *parent)
    : QObject(parent) {
    m_batchTimer.setSingleShot(true);
    m_batchTimer.setInterval(500);
    connect(&m_batchTimer, &QTimer::timeout, this, &HistoryStore::flush);
}

HistoryStore::~HistoryStore() {
    close();
}

void HistoryStore::close() {
    if (m_thread) {
        flush();
        Writer *writer = m_writer;
        QMetaObject::invokeMethod(
            m_context, [writer] { writer->stop(); }, Qt::BlockingQueuedConnection);
        m_thread->quit();
        m_thread->wait();
        delete m_context;
        m_context = nullptr;
        delete m_thread;
        m_thread = nullptr;
        delete m_writer;
        m_writer = nullptr;
    }
    m_batchTimer.stop();
    m_pending.clear();
    if (!m_connection.isEmpty()) {
        QSqlDatabase::removeDatabase(m_connection);
        m_connection.clear();
    }
    m_on = false;
}

void HistoryStore::turnOff(const QString &reason) {
    if (!m_on)
        return;
    m_offReason = reason;
    m_on = false;
    m_pending.clear();
    m_batchTimer.stop();
    emit turnedOff(reason);
}

bool HistoryStore::open(const QString &path, Mode mode) {
    close();
    m_path = path;
    m_offReason.clear();
    m_lastWithPlayers.clear();
    const bool readOnly = mode == Mode::ReadOnly;
    const QFileInfo info(path);
    if (readOnly && !info.exists())
        return false;
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        m_offReason =
            QStringLiteral("History is off for this run: Qt's SQLite driver is not installed");
        return false;
    }
    if (info.isFile() && !hasSqliteHeader(path)) {
        keepAside(readOnly, QStringLiteral("not a database"));
        return false;
    }
    m_connection = connectionFor(QStringLiteral("GRQuorvelHistory-"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        db.setDatabaseName(path);
        db.setConnectOptions(
            QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1%2")
                .arg(busyTimeoutMs)
                .arg(readOnly ? QStringLiteral(";QSQLITE_OPEN_READONLY") : QString()));
        if (!db.open()) {
            m_offReason = QStringLiteral("History is off for this run: cannot open %1 (%2)")
                              .arg(QDir::toNativeSeparators(path), db.lastError().text());
            db = QSqlDatabase();
            close();
            return false;
        }
    }
    if (!setUp(readOnly))
        return false;
    loadLastSeen();
    if (readOnly) {
        m_on = true;
        return true;
    }
    m_writer = new Writer(path, m_connection + QStringLiteral("-writer"));
    m_thread = new QThread;
    m_thread->setObjectName(QStringLiteral("GRQuorvelHistoryWriter"));
    m_context = new QObject;
    m_context->moveToThread(m_thread);
    m_thread->start();
    QString failure;
    Writer *writer = m_writer;
    QMetaObject::invokeMethod(
        m_context, [writer, &failure] { failure = writer->start(); }, Qt::BlockingQueuedConnection);
    m_on = true;
    if (!failure.isEmpty()) {
        m_offReason = QStringLiteral("History is off for this run: cannot write %1 (%2)")
                          .arg(QDir::toNativeSeparators(path), failure);
        close();
        return false;
    }
    return true;
}

bool HistoryStore::setUp(bool readOnly) {
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    auto fail = [&](const QSqlError &error, const QString &what) {
        q = QSqlQuery();
        if (isDamage(error) && !readOnly) {
            db = QSqlDatabase();
            close();
            keepAside(false, error.text());
        } else {
            m_offReason = QStringLiteral("History is off for this run: %1 %2 (%3)")
                              .arg(what, QDir::toNativeSeparators(m_path), error.text());
            db = QSqlDatabase();
            close();
        }
        return false;
    };
    if (readOnly) {
        if (!q.exec(QStringLiteral("SELECT count(*) FROM servers")))
            return fail(q.lastError(), QStringLiteral("cannot read"));
        return true;
    }
    if (!q.exec(QStringLiteral("PRAGMA quick_check")))
        return fail(q.lastError(), QStringLiteral("cannot read"));
    if (q.next() && q.value(0).toString() != u"ok") {
        const QString finding = q.value(0).toString();
        q = QSqlQuery();
        db = QSqlDatabase();
        close();
        keepAside(false, finding);
        return false;
    }
    q.finish();
    // Only takes effect on a new file: lets pruning give the space back.
    q.exec(QStringLiteral("PRAGMA auto_vacuum=INCREMENTAL"));
    if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")))
        return fail(q.lastError(), QStringLiteral("cannot write"));
    if (!q.next() || q.value(0).toString().compare(u"wal", Qt::CaseInsensitive) != 0)
        return fail(QSqlError(QString(), QStringLiteral("no write-ahead journal")),
                    QStringLiteral("cannot write"));
    q.finish();
    if (!db.transaction())
        return fail(db.lastError(), QStringLiteral("cannot write"));
    for (const char *sql : schema) {
        if (!q.exec(text(sql)))
            return fail(q.lastError(), QStringLiteral("cannot write"));
    }
    // Writing the version proves the file takes writes before the program relies on it.
    if (!q.exec(QStringLiteral("PRAGMA user_version=1")) || !db.commit())
        return fail(q.lastError().isValid() ? q.lastError() : db.lastError(),
                    QStringLiteral("cannot write"));
    return true;
}

void HistoryStore::keepAside(bool readOnly, const QString &why) {
    const QString shown = QDir::toNativeSeparators(m_path);
    if (readOnly) {
        m_offReason =
            QStringLiteral("History is off for this run: %1 is damaged (%2)").arg(shown, why);
        return;
    }
    QString aside = m_path + QStringLiteral(".damaged-") +
                    QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = aside.section(u'~', 0, 0) + u'~' + QString::number(n);
    if (!QFile::rename(m_path, aside)) {
        m_offReason =
            QStringLiteral("History is off for this run: %1 is damaged (%2)").arg(shown, why);
        return;
    }
    // The journal files belong to the damaged file: they go with it, never onto a new one.
    for (const char *suffix : {"-wal", "-shm"}) {
        const QString side = m_path + QString::fromLatin1(suffix);
        if (QFileInfo::exists(side))
            QFile::rename(side, aside + QString::fromLatin1(suffix));
    }
    m_offReason = QStringLiteral("History is off for this run: the damaged history file was "
                                 "kept as %1")
                      .arg(QFileInfo(aside).fileName());
}

void HistoryStore::loadLastSeen() {
    m_lastWithPlayers.clear();
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    if (q.exec(QStringLiteral("SELECT address, last_with_players FROM servers "
                              "WHERE last_with_players IS NOT NULL")))
        while (q.next())
            m_lastWithPlayers.insert(q.value(0).toString().toLower(), q.value(1).toLongLong());
}

void HistoryStore::writeFailed(const QString &failure) {
    turnOff(QStringLiteral("History is off for this run: cannot write %1 (%2)")
                .arg(QDir::toNativeSeparators(m_path), failure));
}

void HistoryStore::prune(const QDateTime &now) {
    if (!m_on || !m_writer)
        return;
    flush();
    Writer *writer = m_writer;
    const qint64 at = now.toSecsSinceEpoch();
    QString failure;
    QMetaObject::invokeMethod(
        m_context, [writer, at, &failure] { failure = writer->prune(at); },
        Qt::BlockingQueuedConnection);
    if (!failure.isEmpty())
        writeFailed(failure);
    else
        loadLastSeen();
}

void HistoryStore::attach(clsGlobalGRControls *pool,
                          std::function<const clsGRServer *(const QString &)> lookup) {
    m_lookup = std::move(lookup);
    connect(pool, &clsGlobalGRControls::queryEnded, this,
            [this](const QString &address, bool answered) {
                if (const clsGRServer *server = m_lookup ? m_lookup(address) : nullptr)
                    recordQuery(*server, answered);
            });
}

void HistoryStore::recordQuery(const clsGRServer &server, bool answered) {
    if (!m_on || !m_writer)
        return;
    HistoryObservation o;
    o.address = server.IP();
    o.time = QDateTime::currentSecsSinceEpoch();
    o.answered = answered;
    if (answered) {
        o.players = server.PlayerCount();
        o.maxPlayers = server.MaxPlayers() - (server.Dedicated() ? 1 : 0);
        o.map = server.Map();
        o.mission = server.Mission();
        o.gameType = server.GameType();
        o.state = server.GameState();
        o.names.reserve(server.Players().Count());
        for (const QString &name : server.Players())
            o.names << name;
    }
    record(std::move(o));
}

void HistoryStore::record(HistoryObservation observation) {
    if (!m_on || !m_writer)
        return;
    if (observation.answered && observation.players > 0) {
        qint64 &last = m_lastWithPlayers[observation.address.toLower()];
        last = qMax(last, observation.time);
    }
    if (m_pending.empty())
        m_pending.reserve(1024);
    m_pending.push_back(std::move(observation));
    if (m_pending.size() >= flushAtCount)
        flush();
    else if (!m_batchTimer.isActive())
        m_batchTimer.start();
}

void HistoryStore::flush() {
    m_batchTimer.stop();
    if (m_pending.empty() || !m_on || !m_writer)
        return;
    // The store outlives the writer's thread (closing waits for it), so the report of a
    // failure always finds it.
    Writer *writer = m_writer;
    HistoryStore *store = this;
    QMetaObject::invokeMethod(m_context, [writer, store, batch = std::move(m_pending)] {
        const QString failure = writer->write(batch);
        if (!failure.isEmpty())
            QMetaObject::invokeMethod(store, [store, failure] { store->writeFailed(failure); });
    });
    m_pending = {};
}

void HistoryStore::waitForWrites() {
    flush();
    if (m_thread)
        QMetaObject::invokeMethod(
            m_context, [] {}, Qt::BlockingQueuedConnection);
    // A failure reported meanwhile is delivered before the caller looks.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

std::optional<qint64> HistoryStore::serverId(const QString &address) const {
    if (m_connection.isEmpty())
        return std::nullopt;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT id FROM servers WHERE address = ?"));
    q.addBindValue(address);
    if (!q.exec() || !q.next())
        return std::nullopt;
    return q.value(0).toLongLong();
}

HistorySummary HistoryStore::summary(const QString &address, const QDateTime &now) const {
    HistorySummary s;
    if (m_connection.isEmpty())
        return s;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT id, first_seen, last_answered, last_with_players FROM "
                             "servers WHERE address = ?"));
    q.addBindValue(address);
    if (!q.exec() || !q.next())
        return s;
    const qint64 id = q.value(0).toLongLong();
    s.firstSeen = timeOf(q.value(1));
    s.lastAnswered = timeOf(q.value(2));
    s.lastSeenWithPlayers = timeOf(q.value(3));
    q.finish();
    q.prepare(QStringLiteral("SELECT sum(queries), sum(answers) FROM hourly WHERE server = ? "
                             "AND hour >= ?"));
    q.addBindValue(id);
    q.addBindValue((now.toSecsSinceEpoch() - 7 * secondsPerDay) / 3600);
    if (q.exec() && q.next() && q.value(0).toLongLong() > 0)
        s.answeredPercent7d = 100.0 * q.value(1).toDouble() / q.value(0).toDouble();
    return s;
}

std::optional<QDateTime> HistoryStore::lastSeenWithPlayers(const QString &address) const {
    const auto it = m_lastWithPlayers.constFind(address.toLower());
    if (it == m_lastWithPlayers.cend())
        return std::nullopt;
    return QDateTime::fromSecsSinceEpoch(*it, Qt::UTC);
}

QList<HistoryObservation> HistoryStore::samples(const QString &address,
                                                const QDateTime &from) const {
    QList<HistoryObservation> rows;
    const std::optional<qint64> id = serverId(address);
    if (!id)
        return rows;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral(
        "SELECT time, answered, players, max_players, map, mission, game_type, state, names "
        "FROM changes WHERE server = ? AND time >= coalesce((SELECT max(time) FROM changes "
        "WHERE server = ? AND time <= ?), ?) ORDER BY time"));
    for (const QVariant &value : {QVariant(*id), QVariant(*id), QVariant(from.toSecsSinceEpoch()),
                                  QVariant(from.toSecsSinceEpoch())})
        q.addBindValue(value);
    if (!q.exec())
        return rows;
    while (q.next()) {
        HistoryObservation s;
        s.address = address;
        s.time = q.value(0).toLongLong();
        s.answered = q.value(1).toBool();
        s.players = q.value(2).toInt();
        s.maxPlayers = q.value(3).toInt();
        s.map = q.value(4).toString();
        s.mission = q.value(5).toString();
        s.gameType = q.value(6).toString();
        s.state = q.value(7).toString();
        s.names = splitNames(q.value(8).toString());
        rows << s;
    }
    return rows;
}

std::array<std::optional<double>, 24> HistoryStore::busyHours(const QString &address,
                                                              const QDateTime &now) const {
    std::array<std::optional<double>, 24> result;
    const std::optional<qint64> id = serverId(address);
    if (!id)
        return result;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT hour, queries, player_sum FROM hourly WHERE server = ? "
                             "AND hour >= ? AND hour <= ?"));
    const qint64 nowHour = now.toSecsSinceEpoch() / 3600;
    q.addBindValue(*id);
    q.addBindValue(nowHour - 28 * 24 + 1);
    q.addBindValue(nowHour);
    if (!q.exec())
        return result;
    std::array<qint64, 24> queries{};
    std::array<qint64, 24> players{};
    while (q.next()) {
        // The hour of the day at the middle of that hour, on this machine's clock.
        const int local =
            QDateTime::fromSecsSinceEpoch(q.value(0).toLongLong() * 3600 + 1800).time().hour();
        queries[static_cast<size_t>(local)] += q.value(1).toLongLong();
        players[static_cast<size_t>(local)] += q.value(2).toLongLong();
    }
    for (size_t h = 0; h < 24; ++h) {
        if (queries[h] > 0)
            result[h] = double(players[h]) / double(queries[h]);
    }
    return result;
}
