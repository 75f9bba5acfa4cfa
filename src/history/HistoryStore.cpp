#include "history/HistoryStore.h"

#include "history/HistorySchema.h"
#include "history/HistoryWriter.h"
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

using namespace HistorySchema;

namespace {
// A round bigger than this is written at once instead of waiting for the batch timer.
constexpr size_t flushAtCount = 5000;

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

std::optional<QDateTime> timeOf(const QVariant &value) {
    if (value.isNull())
        return std::nullopt;
    return QDateTime::fromSecsSinceEpoch(value.toLongLong(), Qt::UTC);
}

QString connectionFor(const QString &base) {
    static std::atomic<int> counter{0};
    return base + QString::number(++counter);
}
} // namespace

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
        HistoryWriter *writer = m_writer.get();
        QMetaObject::invokeMethod(
            m_context, [writer] { writer->stop(); }, Qt::BlockingQueuedConnection);
        m_thread->quit();
        m_thread->wait();
        delete m_context;
        m_context = nullptr;
        delete m_thread;
        m_thread = nullptr;
        m_writer.reset();
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
        m_offReason = tr("History is off for this run: Qt's SQLite driver is not installed");
        return false;
    }
    if (info.isFile() && !hasSqliteHeader(path)) {
        keepAside(readOnly, tr("not a database"));
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
            m_offReason = tr("History is off for this run: cannot open %1 (%2)")
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
    m_writer = std::make_unique<HistoryWriter>(path, m_connection + QStringLiteral("-writer"));
    m_thread = new QThread;
    m_thread->setObjectName(QStringLiteral("GRQuorvelHistoryWriter"));
    m_context = new QObject;
    m_context->moveToThread(m_thread);
    m_thread->start();
    QString failure;
    HistoryWriter *writer = m_writer.get();
    QMetaObject::invokeMethod(
        m_context, [writer, &failure] { failure = writer->start(); }, Qt::BlockingQueuedConnection);
    m_on = true;
    if (!failure.isEmpty()) {
        m_offReason = tr("History is off for this run: cannot write %1 (%2)")
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
            m_offReason = tr("History is off for this run: %1 %2 (%3)")
                              .arg(what, QDir::toNativeSeparators(m_path), error.text());
            db = QSqlDatabase();
            close();
        }
        return false;
    };
    if (readOnly) {
        if (!q.exec(QStringLiteral("SELECT count(*) FROM servers")))
            return fail(q.lastError(), tr("cannot read"));
        return true;
    }
    if (!q.exec(QStringLiteral("PRAGMA quick_check")))
        return fail(q.lastError(), tr("cannot read"));
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
        return fail(q.lastError(), tr("cannot write"));
    if (!q.next() || q.value(0).toString().compare(u"wal", Qt::CaseInsensitive) != 0)
        return fail(QSqlError(QString(), tr("no write-ahead journal")), tr("cannot write"));
    q.finish();
    if (!db.transaction())
        return fail(db.lastError(), tr("cannot write"));
    for (const char *sql : tables) {
        if (!q.exec(sqlText(sql)))
            return fail(q.lastError(), tr("cannot write"));
    }
    // Writing the version proves the file takes writes before the program relies on it.
    if (!q.exec(QStringLiteral("PRAGMA user_version=1")) || !db.commit())
        return fail(q.lastError().isValid() ? q.lastError() : db.lastError(), tr("cannot write"));
    return true;
}

void HistoryStore::keepAside(bool readOnly, const QString &why) {
    const QString shown = QDir::toNativeSeparators(m_path);
    if (readOnly) {
        m_offReason = tr("History is off for this run: %1 is damaged (%2)").arg(shown, why);
        return;
    }
    QString aside = m_path + QStringLiteral(".damaged-") +
                    QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = aside.section(u'~', 0, 0) + u'~' + QString::number(n);
    if (!QFile::rename(m_path, aside)) {
        m_offReason = tr("History is off for this run: %1 is damaged (%2)").arg(shown, why);
        return;
    }
    // The journal files belong to the damaged file: they go with it, never onto a new one.
    for (const char *suffix : {"-wal", "-shm"}) {
        const QString side = m_path + QString::fromLatin1(suffix);
        if (QFileInfo::exists(side))
            QFile::rename(side, aside + QString::fromLatin1(suffix));
    }
    m_offReason = tr("History is off for this run: the damaged history file was "
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
    turnOff(tr("History is off for this run: cannot write %1 (%2)")
                .arg(QDir::toNativeSeparators(m_path), failure));
}

void HistoryStore::prune(const QDateTime &now) {
    if (!m_on || !m_writer)
        return;
    flush();
    HistoryWriter *writer = m_writer.get();
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
    HistoryWriter *writer = m_writer.get();
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
