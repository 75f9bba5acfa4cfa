#pragma once

#include <QAbstractProxyModel>
#include <QPersistentModelIndex>
#include <QString>

#include <functional>
#include <vector>

class ServerListModel;

// What the player narrows the servers list to.
struct ServerFilter {
    enum GameMode { AnyMode = 0, CoOperative = 1, Solo = 2, Team = 3 };

    QString search;
    bool hideEmpty = false;
    bool hideFull = false;
    bool hideSilent = false;
    bool hidePassworded = false;
    int gameMode = AnyMode;

    bool operator==(const ServerFilter &) const = default;
};

// Sorts the servers list and leaves out the rows the filter hides. A server where a buddy plays
// is never left out.
//
// Every row, shown or not, keeps its place in one sorted order, so a filter change never sorts:
// the rows shown are those of that order that pass, and the view hears of the change as one
// layout change however many rows come and go. Each row's verdict is kept, so a search that
// only grows looks again at the rows shown and no others. Rows are sorted only when asked
// (sort()); a tick's changes move nothing until then.
class ServerFilterProxy : public QAbstractProxyModel {
    Q_OBJECT
public:
    explicit ServerFilterProxy(ServerListModel &model, QObject *parent = nullptr);

    const ServerFilter &filter() const { return m_filter; }
    // Applies at once; a filter equal to the one in use changes nothing.
    void setServerFilter(const ServerFilter &filter);
    // The rows' facts changed: rows start or stop matching.
    void refilter();
    // True when the row of the source model passes the filter.
    bool passes(int sourceRow) const;

    // Sorts every row by the cells of `column`, letter case ignored; rows that compare equal
    // keep the order they had. A column of -1 gives the model's own order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const override;
    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;

private:
    bool lessThan(int leftRow, int rightRow) const;
    void sortOrderInPlace();
    // Looks again at the rows of `rows` (source rows); true when any verdict changed.
    template <typename Rows> bool judge(const Rows &rows);
    bool judgeAll();
    // The rows shown, from the order and the verdicts.
    void rebuildShown();
    // Starts and ends a change the view hears of as one layout change: the persistent indexes
    // (the selection among them) follow their rows, and those of rows no longer shown go.
    void beginLayoutChange();
    void endLayoutChange();
    // Everything again from the model as it now is.
    void rebuildAll();

    void sourceAboutToBeReset();
    void sourceReset();
    void sourceDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                           const QList<int> &roles);
    void sourceRowsAboutToBeRemoved(const QModelIndex &parent, int first, int last);
    void sourceRowsRemoved(const QModelIndex &parent, int first, int last);
    void sourceRowsInserted(const QModelIndex &parent, int first, int last);

    ServerListModel &m_model;
    ServerFilter m_filter;
    struct SearchWord {
        QString text;   // case-folded
        bool inAddress; // may be found in the address
    };
    std::vector<SearchWord> m_words;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;

    std::vector<char> m_passes;  // per source row: it passes the filter
    std::vector<int> m_order;    // every source row, in sort order
    std::vector<int> m_shown;    // proxy row -> source row
    std::vector<int> m_proxyRow; // source row -> proxy row, or -1 when hidden

    // Kept across a layout change: each persistent index and the source cell it stood for.
    QModelIndexList m_layoutFrom;
    QList<QPersistentModelIndex> m_layoutSource;
};
