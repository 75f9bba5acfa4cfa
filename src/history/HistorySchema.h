#pragma once

#include <QString>
#include <QStringList>

// The layout of the history file, shared by the store and its writer.
namespace HistorySchema {

inline constexpr qint64 secondsPerDay = 24 * 3600;
// How long a connection waits for the other one's lock before a statement fails.
inline constexpr int busyTimeoutMs = 2000;

inline constexpr const char *tables[] = {
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

inline QString sqlText(const char *sql) {
    return QString::fromLatin1(sql);
}

// The players' names of a row, one column: a line each.
inline QString joinNames(const QStringList &names) {
    return names.join(u'\n');
}

inline QStringList splitNames(const QString &names) {
    return names.isEmpty() ? QStringList() : names.split(u'\n');
}

} // namespace HistorySchema
