#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QString>

#include <array>
#include <functional>
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

    int rowOfKey(const QString &key) const;
    QString key(int row) const;
    QString cell(int row, int column) const;
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
    };
    static void applyStatus(Row &row, int status);
    void rebuildIndex();

    WatchedLookup m_watched;
    TipLookup m_tip;
    std::vector<Row> m_rows;
    QHash<QString, int> m_index; // lower-case key -> row
};
