#include "servers_tab/ServerListModel.h"

#include "common/TextRules.h"
#include "servers/clsGRServer.h"
#include "servers_tab/ServerIcons.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace {
constexpr QRgb grey = qRgb(128, 128, 128);
constexpr QRgb green = qRgb(0, 128, 0);
constexpr QRgb black = qRgb(0, 0, 0);
constexpr QRgb olive = qRgb(128, 128, 0);
constexpr QRgb darkRed = qRgb(128, 0, 0);

// The sort columns are hidden; their captions are never seen.
const char *const captions[] = {QT_TRANSLATE_NOOP("ServerListModel", "IP"),
                                QT_TRANSLATE_NOOP("ServerListModel", "Name"),
                                QT_TRANSLATE_NOOP("ServerListModel", "Last PW"),
                                QT_TRANSLATE_NOOP("ServerListModel", "Ping"),
                                "SortPing",
                                QT_TRANSLATE_NOOP("ServerListModel", "Players"),
                                "SortPlayers",
                                QT_TRANSLATE_NOOP("ServerListModel", "Time Left"),
                                "SortTimeLeft"};

const QString noPlayers = QStringLiteral("-/-");
const QString noTime = QStringLiteral("--:--");
} // namespace

ServerListModel::ServerListModel(QObject *parent)
    : QAbstractTableModel(parent) {}

QColor ServerListModel::pingColorFor(qint32 ping) {
    if (ping < 100)
        return QColor(green);
    if (ping < 200)
        return QColor(black);
    if (ping < 400)
        return QColor(olive);
    return QColor(darkRed);
}

void ServerListModel::applyStatus(Row &row, int status) {
    switch (status) {
    case clsGRServer::Answered:
        row.icon = ServerIcons::GreenEmblem;
        row.ghosted = false;
        row.color = green;
        return;
    case clsGRServer::Waiting:
        row.icon = ServerIcons::GreyEmblem;
        break;
    case clsGRServer::NoReply:
        row.icon = ServerIcons::RedEmblem;
        break;
    default:
        row.icon = ServerIcons::QuestionMark;
        break;
    }
    row.ghosted = true;
    row.color = grey;
}

void ServerListModel::setRecords(const std::vector<const clsGRServer *> &records) {
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(records.size());
    for (const clsGRServer *record : records) {
        Row row;
        row.cells[ColIP] = record->IP();
        row.cells[ColName] = record->Name();
        row.cells[ColPassword] = record->Password();
        row.locked = record->PasswordRequired();
        applyStatus(row, record->status());
        updateFacts(row, *record, true);
        m_rows.push_back(std::move(row));
    }
    rebuildIndex();
    endResetModel();
}

quint32 ServerListModel::tick(const Lookup &lookup) {
    quint32 changedColumns = 0;
    const bool buddiesChanged = std::exchange(m_buddiesChanged, false);
    const int rows = static_cast<int>(m_rows.size());
    for (int r = 0; r < rows; ++r) {
        Row &row = m_rows[static_cast<size_t>(r)];
        const clsGRServer *record = lookup(row.cells[ColIP]);
        if (!record)
            continue;
        quint32 changed = 0;
        auto set = [&](int column, const QString &text) {
            if (row.cells[static_cast<size_t>(column)] != text) {
                row.cells[static_cast<size_t>(column)] = text;
                changed |= 1u << column;
            }
        };

        const qint32 p = record->Ping();
        const QString pingText = p <= 9999 ? QString::number(p) : QStringLiteral("9999");
        if (row.cells[ColPing] != pingText) {
            set(ColPing, pingText);
            row.pingColor = pingColorFor(p).rgb();
            row.pingColored = true;
            set(ColSortPing, p <= 9999 ? formatZeros(p, 4) : QStringLiteral("9999"));
        }
        const int pingIcon = record->PingStale() ? ServerIcons::Clock : ServerIcons::Transparent;
        if (row.pingIcon != pingIcon) {
            row.pingIcon = pingIcon;
            changed |= 1u << ColPing;
        }

        const int status = record->status();
        Row wanted;
        applyStatus(wanted, status);
        if (row.icon != wanted.icon || row.ghosted != wanted.ghosted || row.color != wanted.color) {
            row.icon = wanted.icon;
            row.ghosted = wanted.ghosted;
            row.color = wanted.color;
            changed |= 1u << ColIP;
        }
        set(ColName, record->Name());
        set(ColPassword, record->Password());
        const bool watched = m_watched && m_watched(row.cells[ColIP]);
        if (row.watched != watched) {
            row.watched = watched;
            changed |= 1u << ColIP;
        }
        if (row.locked != record->PasswordRequired()) {
            row.locked = record->PasswordRequired();
            changed |= 1u << ColIP;
        }

        if (status != clsGRServer::Answered) {
            if (row.cells[ColPlayers] != noPlayers) {
                set(ColPlayers, noPlayers);
                set(ColSortPlayers, QStringLiteral("00"));
            }
            if (row.cells[ColTimeLeft] != noTime) {
                set(ColTimeLeft, noTime);
                set(ColSortTimeLeft, QStringLiteral("00000"));
            }
        } else {
            const QString players = record->PlayerCountString();
            if (row.cells[ColPlayers] != players) {
                set(ColPlayers, players);
                set(ColSortPlayers, formatZeros(record->PlayerCount(), 2));
            }
            const QString time = record->TimeRemaining();
            if (row.cells[ColTimeLeft] != time) {
                set(ColTimeLeft, time);
                set(ColSortTimeLeft, formatZeros(record->SecondsRemaining(), 5));
            }
        }

        if (updateFacts(row, *record, buddiesChanged))
            changedColumns |= FactsChanged;

        if (changed) {
            changedColumns |= changed;
            // One signal per row, spanning only the columns that changed.
            const int first = std::countr_zero(changed);
            const int last = 31 - std::countl_zero(changed);
            emit dataChanged(index(r, first), index(r, last));
        }
    }
    return changedColumns;
}

bool ServerListModel::updateFacts(Row &row, const clsGRServer &record, bool buddiesChanged) const {
    Facts &facts = row.facts;
    const bool answered = record.status() == clsGRServer::Answered;
    bool changed = false;

    // The search text is made again only when what it is made of changed, and made first for
    // a new row even when all it has is its address.
    bool sourceChanged = facts.searchAddress.isEmpty();
    const auto take = [&](QString &kept, const QString &now) {
        if (kept != now) {
            kept = now;
            sourceChanged = true;
        }
    };
    take(row.name, record.Name());
    take(row.map, record.Map());
    take(row.mission, record.Mission());
    take(row.mods, record.Mods());
    // Who plays there is known only while the server answers.
    const KeyedCollection<QString> &players = record.Players();
    const int count = answered ? players.Count() : 0;
    bool samePlayers = row.players.size() == count;
    if (samePlayers && count > 0) {
        qsizetype i = 0;
        for (const QString &player : players) {
            if (row.players[i++] != player) {
                samePlayers = false;
                break;
            }
        }
    }
    if (!samePlayers) {
        row.players.clear();
        if (answered)
            for (const QString &player : players)
                row.players << player;
        sourceChanged = true;
    }
    if (sourceChanged) {
        QString text;
        for (const QString *part : {&row.name, &row.map, &row.mission, &row.mods})
            if (!part->isEmpty())
                text += u'\n' + *part;
        for (const QString &player : std::as_const(row.players))
            text += u'\n' + player;
        facts.searchAddress = record.IP().toCaseFolded();
        facts.searchText = text.toCaseFolded();
        changed = true;
    }
    if (sourceChanged || buddiesChanged) {
        bool buddy = false;
        if (m_buddyMatch && !m_buddies.isEmpty())
            buddy = std::any_of(row.players.cbegin(), row.players.cend(), m_buddyMatch);
        if (facts.buddy != buddy) {
            facts.buddy = buddy;
            changed = true;
        }
    }

    // What joining takes and how the game is played, as the last answer told.
    const std::optional<bool> passworded =
        answered ? record.Settings().password : std::optional<bool>();
    const std::optional<int> gameMode =
        answered ? record.Settings().gameMode : std::optional<int>();
    if (facts.passworded != passworded || facts.gameMode != gameMode) {
        facts.passworded = passworded;
        facts.gameMode = gameMode;
        changed = true;
    }

    const int status = record.status();
    const int playing = answered ? record.PlayerCount() : 0;
    const int slotCount = answered ? record.MaxPlayers() - (record.Dedicated() ? 1 : 0) : 0;
    if (facts.status != status || facts.players != playing || facts.slotCount != slotCount) {
        facts.status = status;
        facts.players = playing;
        facts.slotCount = slotCount;
        changed = true;
    }
    // The reply read here does not carry the password flag or the game mode yet: both stay
    // unknown, and the filters on them pass every server.
    return changed;
}

void ServerListModel::setBuddies(const QStringList &buddies, BuddyMatch match) {
    if (buddies != m_buddies) {
        m_buddies = buddies;
        m_buddiesChanged = true;
    }
    m_buddyMatch = std::move(match);
}

const ServerListModel::Facts &ServerListModel::facts(int row) const {
    static const Facts none;
    return row >= 0 && row < rowCount() ? m_rows[static_cast<size_t>(row)].facts : none;
}

void ServerListModel::setWatchInfo(WatchedLookup watched, TipLookup tip) {
    m_watched = std::move(watched);
    m_tip = std::move(tip);
}

bool ServerListModel::rowWatched(int row) const {
    return row >= 0 && row < rowCount() && m_rows[static_cast<size_t>(row)].watched;
}

bool ServerListModel::rowLocked(int row) const {
    return row >= 0 && row < rowCount() && m_rows[static_cast<size_t>(row)].locked;
}

bool ServerListModel::removeKey(const QString &key) {
    const int row = rowOfKey(key);
    if (row < 0)
        return false;
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    rebuildIndex();
    endRemoveRows();
    return true;
}

void ServerListModel::rebuildIndex() {
    m_index.clear();
    m_index.reserve(static_cast<qsizetype>(m_rows.size()));
    for (size_t i = 0; i < m_rows.size(); ++i)
        m_index.insert(m_rows[i].cells[ColIP].toLower(), static_cast<int>(i));
}

int ServerListModel::rowOfKey(const QString &key) const {
    return m_index.value(key.toLower(), -1);
}

QString ServerListModel::key(int row) const {
    return cell(row, ColIP);
}

QString ServerListModel::cell(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= ColumnCount)
        return {};
    return m_rows[static_cast<size_t>(row)].cells[static_cast<size_t>(column)];
}

const QString &ServerListModel::cellText(int row, int column) const {
    static const QString none;
    if (row < 0 || row >= rowCount() || column < 0 || column >= ColumnCount)
        return none;
    return m_rows[static_cast<size_t>(row)].cells[static_cast<size_t>(column)];
}

int ServerListModel::rowIcon(int row) const {
    return row >= 0 && row < rowCount() ? m_rows[static_cast<size_t>(row)].icon : 0;
}

bool ServerListModel::rowGhosted(int row) const {
    return row >= 0 && row < rowCount() && m_rows[static_cast<size_t>(row)].ghosted;
}

QColor ServerListModel::rowColor(int row) const {
    return row >= 0 && row < rowCount() ? QColor(m_rows[static_cast<size_t>(row)].color) : QColor();
}

int ServerListModel::pingIcon(int row) const {
    return row >= 0 && row < rowCount() ? m_rows[static_cast<size_t>(row)].pingIcon : 0;
}

QColor ServerListModel::pingColor(int row) const {
    if (row < 0 || row >= rowCount() || !m_rows[static_cast<size_t>(row)].pingColored)
        return {};
    return QColor(m_rows[static_cast<size_t>(row)].pingColor);
}

int ServerListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ServerListModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ServerListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Row &row = m_rows[static_cast<size_t>(index.row())];
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return row.cells[static_cast<size_t>(column)];
    case Qt::DecorationRole:
        if (column == ColIP && row.icon)
            return ServerIcons::marked(row.icon, row.ghosted, row.watched, row.locked);
        if (column == ColPing && row.pingIcon)
            return ServerIcons::icon(row.pingIcon);
        return {};
    case Qt::ForegroundRole:
        if (column == ColIP)
            return QColor(row.color);
        if (column == ColPing && row.pingColored)
            return QColor(row.pingColor);
        return {};
    case Qt::AccessibleTextRole: {
        // What the marks beside the address say, for those who cannot see them.
        if (column != ColIP || (!row.watched && !row.locked))
            return {};
        QString text = row.cells[ColIP];
        if (row.locked)
            text += tr(", password needed");
        if (row.watched)
            text += tr(", watched");
        return text;
    }
    case Qt::ToolTipRole: {
        // Asked for only when the pointer rests on a row: the pane's whole tip for it.
        const QString tip = m_tip ? m_tip(row.cells[ColIP]) : QString();
        return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    default:
        return {};
    }
}

QVariant ServerListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < ColumnCount)
        return tr(captions[section]);
    return {};
}
