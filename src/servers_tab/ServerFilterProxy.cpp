#include "servers_tab/ServerFilterProxy.h"

#include "servers/clsGRServer.h"
#include "servers_tab/ServerListModel.h"

ServerFilterProxy::ServerFilterProxy(ServerListModel &model, QObject *parent)
    : QSortFilterProxyModel(parent)
    , m_model(model) {
    setSourceModel(&model);
}

void ServerFilterProxy::setServerFilter(const ServerFilter &filter) {
    if (filter == m_filter)
        return;
    m_filter = filter;
    // Every word must be found, each anywhere: "kilo 127.0" finds Kilo on that network.
    m_terms = filter.search.simplified().toCaseFolded().split(u' ', Qt::SkipEmptyParts);
    refilter();
}

void ServerFilterProxy::refilter() {
    // Only the rows that start or stop matching move; those coming back find their place in
    // the order in use, so nothing is sorted again.
    invalidateRowsFilter();
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
    for (const QString &term : m_terms)
        if (!facts.searchText.contains(term))
            return false;
    return true;
}

bool ServerFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const {
    return !sourceParent.isValid() && passes(sourceRow);
}

bool ServerFilterProxy::lessThan(const QModelIndex &left, const QModelIndex &right) const {
    // The cells' own texts, without a variant per comparison.
    return QString::compare(m_model.cell(left.row(), left.column()),
                            m_model.cell(right.row(), right.column()), Qt::CaseInsensitive) < 0;
}
