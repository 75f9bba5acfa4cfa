#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class HistoryWriter;
class QThread;
class clsGRServer;
class clsGlobalGRControls;

// What one query of one server found. Read back, it is what the server was found to be from
// `time` on: a row is kept whenever something changed, and at least every quarter of an hour
// while the server is being queried.
struct HistoryObservation {
    QString address;
    qint64 time = 0; // seconds since 1970, UTC
    bool answered = false;
    int players = 0;
    int maxPlayers = 0;
    QString map;
    QString mission;
    QString gameType;
    QString state;
    QStringList names;
};

struct HistorySummary {
    std::optional<QDateTime> firstSeen;
    std::optional<QDateTime> lastAnswered;
    std::optional<QDateTime> lastSeenWithPlayers;
    std::optional<double> answeredPercent7d; // none without any query in those 7 days
};

// The history of every server's answers, kept in an SQLite file beside the preferences.
//
// Queries are gathered as they end and written a round at a time, one transaction each, by a
// writer thread of the store's own, so a round of a thousand answers costs the user-interface
// thread only the copying of what the records say. Each server keeps a row per change of what
// it reported (pruned after two days) and a row per hour with its query and player counts
// (pruned after 90 days), which is what the summaries and the busy hours are read from.
//
// The store may be off: never opened, a file that could not be opened or written, or a file
// found damaged (which is renamed aside, never deleted). The program goes on without it.
class HistoryStore : public QObject {
    Q_OBJECT
public:
    static constexpr int keepDays = 90;
    static constexpr int detailDays = 2;
    static constexpr qint64 heartbeatSeconds = 15 * 60;

    explicit HistoryStore(QObject *parent = nullptr);
    ~HistoryStore() override;

    static QString fileName() { return QStringLiteral("GRQuorvelHistory.sqlite"); }

    enum class Mode { ReadWrite, ReadOnly };
    // Opens (creating when needed, in ReadWrite) the history file `path`. True when the store
    // is on. ReadOnly never creates, changes or renames a file: a missing file gives a store
    // that is off with an empty reason and answers every question with nothing.
    bool open(const QString &path, Mode mode = Mode::ReadWrite);
    bool isOn() const { return m_on; }
    // Why the store is off, in one line; empty when it is on or was simply never opened.
    const QString &offReason() const { return m_offReason; }
    // The Qt SQL connection of the open file on the user-interface thread (empty when off),
    // for other stores that keep their tables in the same file.
    QString connectionName() const { return m_on ? m_connection : QString(); }
    QString path() const { return m_path; }

    // Removes what is older than 90 days, and the detail older than two days, as of `now`.
    void prune(const QDateTime &now = QDateTime::currentDateTimeUtc());

    // Takes the record of every ended query from `pool`; `lookup` finds a record by address.
    void attach(clsGlobalGRControls *pool,
                std::function<const clsGRServer *(const QString &)> lookup);
    void recordQuery(const clsGRServer &server, bool answered);
    void record(HistoryObservation observation);
    // Hands what was gathered to the writer now (a round is otherwise written shortly after
    // its first answer).
    void flush();
    // Flushes and waits until everything handed over is written.
    void waitForWrites();
    qsizetype pendingCount() const { return static_cast<qsizetype>(m_pending.size()); }

    HistorySummary summary(const QString &address,
                           const QDateTime &now = QDateTime::currentDateTimeUtc()) const;
    std::optional<QDateTime> lastSeenWithPlayers(const QString &address) const;
    // Every kept row from `from` on, oldest first; the row in force at `from` comes first
    // when there is one (with its own, earlier time).
    QList<HistoryObservation> samples(const QString &address, const QDateTime &from) const;
    // The average number of players in each hour of the day (local time) over the 28 days
    // before `now`; none for an hour in which the server was never queried.
    std::array<std::optional<double>, 24>
    busyHours(const QString &address, const QDateTime &now = QDateTime::currentDateTimeUtc()) const;

    // How long a round is gathered before it is written.
    void setBatchDelayMs(int ms) { m_batchTimer.setInterval(ms); }

signals:
    // The file could not be written any more: the store is off from now on.
    void turnedOff(const QString &reason);

private:
    void close();
    void turnOff(const QString &reason);
    bool setUp(bool readOnly);
    void keepAside(bool readOnly, const QString &why);
    void writeFailed(const QString &failure);
    void loadLastSeen();
    std::optional<qint64> serverId(const QString &address) const;

    bool m_on = false;
    QString m_offReason;
    QString m_path;
    QString m_connection;
    std::vector<HistoryObservation> m_pending;
    QTimer m_batchTimer;
    QHash<QString, qint64> m_lastWithPlayers; // lower-case address -> seconds
    std::function<const clsGRServer *(const QString &)> m_lookup;
    QThread *m_thread = nullptr;
    QObject *m_context = nullptr; // lives in the writer's thread
    std::unique_ptr<HistoryWriter> m_writer;
};
