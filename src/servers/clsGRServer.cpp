#include "servers/clsGRServer.h"

#include "common/TextRules.h"
#include "servers/GRQueryProtocol.h"
#include "servers/clsGRServers.h"
#include "servers/clsGlobalGRControls.h"

#include <QCoreApplication>

#include <cmath>

clsGRServer::clsGRServer() = default;

clsGRServer::~clsGRServer() {
    m_parent = nullptr;
    // Emptying the slot's tag hands it back to the pool and forgets any query in flight.
    if (m_pool && m_slot >= 0)
        m_pool->releaseSlot(m_slot);
}

void clsGRServer::setName(const QString &in_str) {
    if (m_parent)
        m_parent->changes().update(m_name, in_str);
    else
        m_name = in_str;
}

void clsGRServer::setPassword(const QString &in_str) {
    if (m_parent)
        m_parent->changes().update(m_password, in_str);
    else
        m_password = in_str;
}

void clsGRServer::bindSlot(clsGlobalGRControls *pool, int slot) {
    if (m_pool && m_slot >= 0)
        m_pool->releaseSlot(m_slot);
    m_pool = pool;
    m_slot = slot;
    if (m_pool && m_slot >= 0)
        m_pool->bindSlot(m_slot, m_ip);
}

QString clsGRServer::PlayerCountString() const {
    const qint32 less = m_dedicated ? 1 : 0;
    return QString::number(m_reportedPlayerCount - less) + u'/' +
           QString::number(m_maxPlayers - less);
}

qint32 clsGRServer::SecondsRemaining() const {
    if (m_gameState == u"Playing")
        return m_length == 0 ? 9990 : m_length - m_timeElapsed;
    if (m_gameState == u"Joining")
        return 0;
    return 9999;
}

QString clsGRServer::TimeRemaining() const {
    if (m_gameState == u"Playing") {
        if (m_length == 0)
            return QStringLiteral("--:--");
        const qint64 r = static_cast<qint64>(m_length) - m_timeElapsed;
        const qint64 m = static_cast<qint64>(std::floor(static_cast<double>(r) / 60.0));
        return formatZeros(m, 2) + u':' + formatZeros(r - 60 * m, 2);
    }
    if (m_gameState == u"Joining")
        return QCoreApplication::translate("clsGRServer", "Joining");
    return QCoreApplication::translate("clsGRServer", "n/a");
}

void clsGRServer::Refresh() {
    if (m_status == Waiting)
        return;
    if (!m_pool || m_slot < 0)
        return;
    m_status = Waiting;
    m_pool->startQuery(m_slot, m_ip);
}

std::optional<quint32> clsGRServer::ResolvedAddress() const {
    if (!m_pool || m_slot < 0)
        return std::nullopt;
    return m_pool->resolvedAddress(m_slot);
}

void clsGRServer::TimerFired() {
    if (m_status == Waiting)
        m_status = NoReply;
}

bool clsGRServer::DataArrival(QByteArrayView bytes, qint32 roundTripMs) {
    const std::optional<grquery::ServerStatus> reply = grquery::decodeReply(bytes);
    if (!reply)
        return false;
    m_name = reply->name;
    m_map = reply->map;
    m_mission = reply->mission;
    m_gameType = reply->gameType;
    m_maxPlayers = reply->maxPlayers;
    m_reportedPlayerCount = static_cast<qint32>(reply->players.size());
    m_players.clear();
    m_playerStates.clear();
    for (qsizetype i = 0; i < reply->players.size(); ++i) {
        const QString key = u'R' + QString::number(i + 1);
        m_players.add(key, reply->players[i]);
        if (i < reply->playerStates.size())
            m_playerStates.add(key, reply->playerStates[i]);
    }
    m_version = reply->version;
    m_mods = reply->mods;
    m_dedicated = reply->dedicated;
    if (m_dedicated) {
        m_players.remove(QStringLiteral("R1"));
        m_playerStates.remove(QStringLiteral("R1"));
    }
    m_timeElapsed = reply->timeElapsed;
    m_gameState = grquery::gameStateText(reply->gameStateCode);
    m_motd = reply->motd;
    m_length = reply->length;
    m_settings = reply->settings;
    m_queryRoundTripMs = roundTripMs;
    m_status = Answered;
    return true;
}
