#include "servers_tab/ServerFilterProxy.h"

#include "servers/clsGRServer.h"
#include "servers_tab/ServerListModel.h"

#include <QStringList>

#include <algorithm>
#include <numeric>

ServerFilterProxy::ServerFilterProxy(ServerListModel &model, QObject *parent)
    : QAbstractProxyModel(parent)
    , m_model(model) {
    QAbstractProxyModel::setSourceModel(&model);
    connect(&model, &QAbstractItemModel::modelAboutToBeReset, this,
            &ServerFilterProxy::sourceAboutToBeReset);
    connect(&model, &QAbstractItemModel::modelReset, this, &ServerFilterProxy::sourceReset);
    connect(&model, &QAbstractItemModel::dataChanged, this, &ServerFilterProxy::sourceDataChanged);
    connect(&model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            &ServerFilterProxy::sourceRowsAboutToBeRemoved);
    connect(&model, &QAbstractItemModel::rowsRemoved, this, &ServerFilterProxy::sourceRowsRemoved);
    connect(&model, &QAbstractItemModel::rowsAboutToBeInserted, this,
            &ServerFilterProxy::beginLayoutChange);
    connect(&model, &QAbstractItemModel::rowsInserted, this,
            &ServerFilterProxy::sourceRowsInserted);
    connect(&model, &QAbstractItemModel::layoutAboutToBeChanged, this,
            &ServerFilterProxy::beginLayoutChange);
    connect(&model, &QAbstractItemModel::layoutChanged, this, [this] {
        rebuildAll();
        endLayoutChange();
    });
    rebuildAll();
}

void ServerFilterProxy::setServerFilter(const ServerFilter &filter) {
    if (filter == m_filter)
        return;
    // Every word must be found, each anywhere: "kilo 127.0" finds Kilo on that network. A word
    // beside others looks in the address only when it has a dot: every address holds digits,
    // so "server 7" would otherwise find every server on a network with a 7 in it.
    const QStringList texts =
        filter.search.simplified().toCaseFolded().split(u' ', Qt::SkipEmptyParts);
    std::vector<SearchWord> words;
    words.reserve(static_cast<size_t>(texts.size()));
    for (const QString &text : texts)
        words.push_back({text, texts.size() == 1 || text.contains(u'.')});
    // When the search only grows (each word of the old one is part of a word of the new one
    // that looks in no more places) and nothing else changed, no row hidden now can come back:
    // only the rows shown are looked at again. "kilo 127" becoming "kilo 127." does not grow:
    // the new word looks in the address too.
    ServerFilter same = filter;
    same.search = m_filter.search;
    const bool narrower =
        same == m_filter &&
        std::all_of(m_words.cbegin(), m_words.cend(), [&words](const SearchWord &old) {
            return std::any_of(words.cbegin(), words.cend(), [&old](const SearchWord &now) {
                return now.text.contains(old.text) && (old.inAddress || !now.inAddress);
            });
        });
    m_filter = filter;
    m_words = std::move(words);
    if (narrower ? judge(std::vector<int>(m_shown)) : judgeAll()) {
        beginLayoutChange();
        rebuildShown();
        endLayoutChange();
    }
}

void ServerFilterProxy::refilter() {
    if (judgeAll()) {
        beginLayoutChange();
        rebuildShown();
        endLayoutChange();
    }
}

bool ServerFilterProxy::passes(int sourceRow) const {
    const ServerListModel::Facts &facts = m_model.facts(sourceRow);
    if (facts.buddy)
        return true;
    const bool answered = facts.status == clsGRServer::Answered;
    if (m_filter.hideSilent && facts.status == clsGRServer::NoReply)
        return false;
    if (m_filter.hideEmpty && answered && facts.players <= 0)
        return false;
    if (m_filter.hideFull && answered && facts.slotCount > 0 && facts.players >= facts.slotCount)
        return false;
    if (m_filter.hidePassworded && facts.passworded.value_or(false))
        return false;
    // The reply counts the modes from 2: co-operative, solo, team.
    if (m_filter.gameMode != ServerFilter::AnyMode && facts.gameMode &&
        *facts.gameMode != m_filter.gameMode + 1)
        return false;
    for (const SearchWord &word : m_words)
        if (!facts.searchText.contains(word.text) &&
            !(word.inAddress && facts.searchAddress.contains(word.text)))
            return false;
    return true;
}

template <typename Rows> bool ServerFilterProxy::judge(const Rows &rows) {
    bool changed = false;
    for (const int row : rows) {
        const char now = passes(row) ? 1 : 0;
        char &kept = m_passes[static_cast<size_t>(row)];
        if (kept != now) {
            kept = now;
            changed = true;
        }
    }
    return changed;
}

bool ServerFilterProxy::judgeAll() {
    return judge(m_order);
}

bool ServerFilterProxy::lessThan(int leftRow, int rightRow) const {
    // The cells' own texts, neither copied nor wrapped in a variant per comparison.
    return QString::compare(m_model.cellText(leftRow, m_sortColumn),
                            m_model.cellText(rightRow, m_sortColumn), Qt::CaseInsensitive) < 0;
}

void ServerFilterProxy::sortOrderInPlace() {
    if (m_sortColumn < 0)
        return;
    if (m_sortOrder == Qt::AscendingOrder)
        std::stable_sort(m_order.begin(), m_order.end(),
                         [this](int a, int b) { return lessThan(a, b); });
    else
        std::stable_sort(m_order.begin(), m_order.end(),
                         [this](int a, int b) { return lessThan(b, a); });
}

void ServerFilterProxy::sort(int column, Qt::SortOrder order) {
    beginLayoutChange();
    m_sortColumn = column >= 0 && column < ServerListModel::ColumnCount ? column : -1;
    m_sortOrder = order;
    if (m_sortColumn < 0)
        std::sort(m_order.begin(), m_order.end());
    else
        sortOrderInPlace();
    rebuildShown();
    endLayoutChange();
}

void ServerFilterProxy::rebuildShown() {
    m_shown.clear();
    m_proxyRow.assign(m_passes.size(), -1);
    for (const int row : m_order) {
        if (m_passes[static_cast<size_t>(row)]) {
            m_proxyRow[static_cast<size_t>(row)] = static_cast<int>(m_shown.size());
            m_shown.push_back(row);
        }
    }
}

void ServerFilterProxy::rebuildAll() {
    const int rows = m_model.rowCount();
    m_passes.assign(static_cast<size_t>(rows), 0);
    m_order.resize(static_cast<size_t>(rows));
    std::iota(m_order.begin(), m_order.end(), 0);
    sortOrderInPlace();
    judgeAll();
    rebuildShown();
}

void ServerFilterProxy::beginLayoutChange() {
    emit layoutAboutToBeChanged();
    m_layoutFrom = persistentIndexList();
    m_layoutSource.clear();
    m_layoutSource.reserve(m_layoutFrom.size());
    for (const QModelIndex &index : std::as_const(m_layoutFrom))
        m_layoutSource << QPersistentModelIndex(mapToSource(index));
}

void ServerFilterProxy::endLayoutChange() {
    QModelIndexList to;
    to.reserve(m_layoutFrom.size());
    for (const QPersistentModelIndex &source : std::as_const(m_layoutSource))
        to << mapFromSource(source);
    changePersistentIndexList(m_layoutFrom, to);
    m_layoutFrom.clear();
    m_layoutSource.clear();
    emit layoutChanged();
}

void ServerFilterProxy::sourceAboutToBeReset() {
    beginResetModel();
}

void ServerFilterProxy::sourceReset() {
    rebuildAll();
    endResetModel();
}

void ServerFilterProxy::sourceDataChanged(const QModelIndex &topLeft,
                                          const QModelIndex &bottomRight, const QList<int> &roles) {
    // Rows stay where they are until the next sort or filter; hidden rows tell nobody.
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        const int at = row >= 0 && row < static_cast<int>(m_proxyRow.size())
                           ? m_proxyRow[static_cast<size_t>(row)]
                           : -1;
        if (at >= 0)
            emit dataChanged(index(at, topLeft.column()), index(at, bottomRight.column()), roles);
    }
}

void ServerFilterProxy::sourceRowsAboutToBeRemoved(const QModelIndex &parent, int first, int last) {
    if (parent.isValid())
        return;
    // The rows shown among them go, a run of neighbours at a time, the last run first.
    std::vector<int> going;
    for (int row = first; row <= last; ++row)
        if (const int at = m_proxyRow[static_cast<size_t>(row)]; at >= 0)
            going.push_back(at);
    std::sort(going.begin(), going.end());
    while (!going.empty()) {
        const int end = going.back();
        int start = end;
        going.pop_back();
        while (!going.empty() && going.back() == start - 1) {
            start = going.back();
            going.pop_back();
        }
        beginRemoveRows({}, start, end);
        for (int at = start; at <= end; ++at)
            m_proxyRow[static_cast<size_t>(m_shown[static_cast<size_t>(at)])] = -1;
        m_shown.erase(m_shown.begin() + start, m_shown.begin() + end + 1);
        for (size_t at = static_cast<size_t>(start); at < m_shown.size(); ++at)
            m_proxyRow[static_cast<size_t>(m_shown[at])] = static_cast<int>(at);
        endRemoveRows();
    }
}

void ServerFilterProxy::sourceRowsRemoved(const QModelIndex &parent, int first, int last) {
    if (parent.isValid())
        return;
    // Nothing shown changes now: only the source rows after the gap are numbered again.
    const int count = last - first + 1;
    std::erase_if(m_order, [first, last](int row) { return row >= first && row <= last; });
    for (int &row : m_order)
        if (row > last)
            row -= count;
    for (int &row : m_shown)
        if (row > last)
            row -= count;
    m_passes.erase(m_passes.begin() + first, m_passes.begin() + last + 1);
    m_proxyRow.erase(m_proxyRow.begin() + first, m_proxyRow.begin() + last + 1);
}

void ServerFilterProxy::sourceRowsInserted(const QModelIndex &parent, int first, int last) {
    if (!parent.isValid()) {
        // The new rows take their place in the order and show if they pass.
        const int count = last - first + 1;
        for (int &row : m_order)
            if (row >= first)
                row += count;
        m_passes.insert(m_passes.begin() + first, static_cast<size_t>(count), 0);
        for (int row = first; row <= last; ++row) {
            const auto at = m_sortColumn < 0 ? std::upper_bound(m_order.begin(), m_order.end(), row)
                            : m_sortOrder == Qt::AscendingOrder
                                ? std::upper_bound(m_order.begin(), m_order.end(), row,
                                                   [this](int a, int b) { return lessThan(a, b); })
                                : std::upper_bound(m_order.begin(), m_order.end(), row,
                                                   [this](int a, int b) { return lessThan(b, a); });
            m_order.insert(at, row);
            m_passes[static_cast<size_t>(row)] = passes(row) ? 1 : 0;
        }
        rebuildShown();
    }
    endLayoutChange();
}

QModelIndex ServerFilterProxy::mapToSource(const QModelIndex &proxyIndex) const {
    if (!proxyIndex.isValid() || proxyIndex.model() != this || proxyIndex.row() < 0 ||
        proxyIndex.row() >= static_cast<int>(m_shown.size()))
        return {};
    return m_model.index(m_shown[static_cast<size_t>(proxyIndex.row())], proxyIndex.column());
}

QModelIndex ServerFilterProxy::mapFromSource(const QModelIndex &sourceIndex) const {
    if (!sourceIndex.isValid() || sourceIndex.model() != &m_model || sourceIndex.row() < 0 ||
        sourceIndex.row() >= static_cast<int>(m_proxyRow.size()))
        return {};
    const int at = m_proxyRow[static_cast<size_t>(sourceIndex.row())];
    return at < 0 ? QModelIndex() : createIndex(at, sourceIndex.column());
}

QModelIndex ServerFilterProxy::index(int row, int column, const QModelIndex &parent) const {
    if (parent.isValid() || row < 0 || row >= static_cast<int>(m_shown.size()) || column < 0 ||
        column >= ServerListModel::ColumnCount)
        return {};
    return createIndex(row, column);
}

QModelIndex ServerFilterProxy::parent(const QModelIndex &) const {
    return {};
}

int ServerFilterProxy::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_shown.size());
}

int ServerFilterProxy::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ServerListModel::ColumnCount;
}

bool ServerFilterProxy::hasChildren(const QModelIndex &parent) const {
    return !parent.isValid() && !m_shown.empty();
}
