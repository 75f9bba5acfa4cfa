#pragma once

#include <QSortFilterProxyModel>
#include <QStringList>

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
class ServerFilterProxy : public QSortFilterProxyModel {
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

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    ServerListModel &m_model;
    ServerFilter m_filter;
    QStringList m_terms; // the search's words, case-folded
};
