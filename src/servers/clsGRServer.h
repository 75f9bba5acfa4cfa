#pragma once

#include "common/KeyedCollection.h"
#include "servers/GRQueryProtocol.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

class clsGRServers;
class clsGlobalGRControls;

// One Ghost Recon server as the program knows it: who it is, what its last status reply said,
// and where its status query stands. The record queries its server through the slot it is
// bound to in the slot pool.
class clsGRServer {
public:
    enum Status { NotQueried = 0, Waiting = 1, Answered = 2, NoReply = 3 };

    clsGRServer();
    ~clsGRServer();
    clsGRServer(const clsGRServer &) = delete;
    clsGRServer &operator=(const clsGRServer &) = delete;

    int status() const { return m_status; }

    // Binds the record to `slot` of `pool` under the record's current IP (the slot's tag).
    void bindSlot(clsGlobalGRControls *pool, int slot);
    int slot() const { return m_slot; }

    bool Dedicated() const { return m_dedicated; }
    const QString &IP() const { return m_ip; }
    void setIP(const QString &in_str) { m_ip = in_str; }
    bool LoadedFromGame() const { return m_loadedFromGame; }
    void setLoadedFromGame(bool in_bln) { m_loadedFromGame = in_bln; }
    const QString &GameType() const { return m_gameType; }
    const QString &Mods() const { return m_mods; }
    const QString &Map() const { return m_map; }
    const QString &Mission() const { return m_mission; }
    const QString &MOTD() const { return m_motd; }
    const QString &Name() const { return m_name; }
    // The name and the password are the player's and kept in the preferences: a change is told
    // to the collection.
    void setName(const QString &in_str);
    clsGRServers *Parent() const { return m_parent; }
    void setParent(clsGRServers *in_obj) { m_parent = in_obj; }
    const QString &Password() const { return m_password; }
    void setPassword(const QString &in_str);
    qint32 Ping() const { return m_ping; }
    void setPing(qint32 in_lng) { m_ping = in_lng; }
    bool PingStale() const { return m_pingStale; }
    void setPingStale(bool in_bln) { m_pingStale = in_bln; }
    // The game length in seconds as decimal text ("0" for no limit or before any reply).
    QString Length() const { return QString::number(m_length); }
    // Player names of the last reply under "R1", "R2", ...; a dedicated server's host (R1) is
    // left out.
    const KeyedCollection<QString> &Players() const { return m_players; }
    qint32 PlayerCount() const { return m_reportedPlayerCount - (m_dedicated ? 1 : 0); }
    // "players/slots", both less one on a dedicated server.
    QString PlayerCountString() const;
    qint32 SecondsRemaining() const;
    QString TimeRemaining() const;
    const QString &Version() const { return m_version; }

    // Reply values without a display form of their own.
    qint32 MaxPlayers() const { return m_maxPlayers; }
    qint32 ReportedPlayerCount() const { return m_reportedPlayerCount; }
    qint32 TimeElapsed() const { return m_timeElapsed; }
    qint32 LengthSeconds() const { return m_length; }
    const QString &GameState() const { return m_gameState; }
    // The game's settings from the last reply; empty before any, and where the reply did not
    // reach them.
    const grquery::GameSettings &Settings() const { return m_settings; }
    bool PasswordRequired() const { return m_settings.password.value_or(false); }
    // The team and state of the player under `key` (as in Players), when the reply gave them.
    const grquery::PlayerState *PlayerStateOf(const QString &key) const {
        return m_playerStates.Item(key);
    }
    // Milliseconds from the request leaving to its reply arriving; -1 before any reply.
    qint32 QueryRoundTripMs() const { return m_queryRoundTripMs; }

    // Sends one status request unless one is outstanding.
    void Refresh();
    // Where the record's host name pointed at its last query: nothing for a dotted address, or
    // while the name does not resolve.
    std::optional<quint32> ResolvedAddress() const;
    // The reply window ended.
    void TimerFired();
    // A datagram from the server arrived `roundTripMs` after the request left. A reply that
    // does not read to its end changes nothing; false then.
    bool DataArrival(QByteArrayView bytes, qint32 roundTripMs = -1);

private:
    clsGRServers *m_parent = nullptr;
    clsGlobalGRControls *m_pool = nullptr;
    int m_slot = -1;
    QString m_ip;
    QString m_name;
    QString m_password;
    QString m_map;
    QString m_mission;
    QString m_gameType;
    qint32 m_maxPlayers = 0;
    qint32 m_reportedPlayerCount = 0;
    QString m_version;
    QString m_mods;
    bool m_dedicated = false;
    qint32 m_timeElapsed = 0;
    qint32 m_length = 0;
    QString m_gameState;
    QString m_motd;
    KeyedCollection<QString> m_players;
    KeyedCollection<grquery::PlayerState> m_playerStates;
    grquery::GameSettings m_settings;
    qint32 m_ping = 0;
    bool m_pingStale = false;
    int m_status = NotQueried;
    bool m_loadedFromGame = false;
    qint32 m_queryRoundTripMs = -1;
};
