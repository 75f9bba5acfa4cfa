#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>
#include <vector>

class clsGRServer;

// The rows of the servers list. Each row remembers what it shows; the tick compares every
// record with its row and writes (and signals) only the cells that differ.
class ServerListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        ColIP,
        ColName,
        ColPassword,
        ColPing,
        ColSortPing,
        ColPlayers,
        ColSortPlayers,
        ColTimeLeft,
        ColSortTimeLeft,
        ColumnCount
    };
    using Lookup = std::function<const clsGRServer *(const QString &key)>;
    using WatchedLookup = std::function<bool(const QString &key)>;
    using TipLookup = std::function<QString(const QString &key)>;
    // True when a player's name belongs to a buddy.
    using BuddyMatch = std::function<bool(const QString &playerName)>;

    // What the filters read of a row, kept up to date by the tick.
    struct Facts {
        // The address as the list shows it, case-folded.
        QString searchAddress;
        // Name, map, mission, mods and (while the server answers) the players' names,
        // case-folded, one a line.
        QString searchText;
        int status = 0;
        int players = 0;
        int slotCount = 0;
        bool buddy = false; // a buddy plays there
        // Unknown until the reply carries them.
        std::optional<bool> passworded;
        std::optional<int> gameMode;
    };
    // Set in the tick's result when a row's facts changed.
    static constexpr quint32 FactsChanged = 1u << 31;

    explicit ServerListModel(QObject *parent = nullptr);

    // Replaces every row: one per record, in the order given, with the IP, Name and Last PW
    // cells, the row icon and colour; the other cells stay empty until the next tick.
    void setRecords(const std::vector<const clsGRServer *> &records);
    // Brings every row up to date from its record (rows without a record stay as they are).
    // Returns a bit per column that changed anywhere.
    quint32 tick(const Lookup &lookup);
    bool removeKey(const QString &key);
    // Where the tick learns which servers are watched (marked in the first cell) and where a
    // row's tool tip comes from.
    void setWatchInfo(WatchedLookup watched, TipLookup tip);
    bool rowWatched(int row) const;
    // The server of the row needs a password to join (marked with a padlock in the first cell).
    bool rowLocked(int row) const;
    // Where the tick learns who the buddies are. `buddies` is the list as it stands: when it is
    // not the list of the last tick, every row is looked at again.
    void setBuddies(const QStringList &buddies, BuddyMatch match);
    const Facts &facts(int row) const;

    int rowOfKey(const QString &key) const;
    QString key(int row) const;
    QString cell(int row, int column) const;
    // The same without a copy, for comparing many cells (empty text out of range).
    const QString &cellText(int row, int column) const;
    int rowIcon(int row) const;
    bool rowGhosted(int row) const;
    QColor rowColor(int row) const;
    int pingIcon(int row) const;
    QColor pingColor(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    static QColor pingColorFor(qint32 ping);

private:
    struct Row {
        std::array<QString, ColumnCount> cells;
        int icon = 0;
        bool ghosted = false;
        QRgb color = 0;
        int pingIcon = 0;
        QRgb pingColor = 0;
        bool pingColored = false;
        bool watched = false;
        bool locked = false;
        Facts facts;
        QStringList players; // as the search text last took them
        QString name, map, mission, mods;
    };
    static void applyStatus(Row &row, int status);
    // Brings the row's facts up to date from its record; true when they changed.
    bool updateFacts(Row &row, const clsGRServer &record, bool buddiesChanged) const;
    void rebuildIndex();

    WatchedLookup m_watched;
    TipLookup m_tip;
    BuddyMatch m_buddyMatch;
    QStringList m_buddies;
    bool m_buddiesChanged = false;
    std::vector<Row> m_rows;
    QHash<QString, int> m_index; // lower-case key -> row
};
