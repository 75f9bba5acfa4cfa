#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

// The Ghost Recon status query, free of sockets: the request every server is sent, the reader
// of a server's reply and a writer of replies (for the simulator and tests).
namespace grquery {

inline constexpr quint16 port = 2348;
inline constexpr int headerSize = 25;

// The one request, the same for every server and every query.
QByteArray request();

// The server's patch level, told by the signature in the reply's header.
enum class Patch { Unknown, V1_2, V1_3, V1_4 };

// One player's entry in the reply's player table.
struct PlayerState {
    bool dead = false; // back to alive on a respawn
    int team = 5;      // 1 to 4 the teams, 5 unassigned (an observer, or still in the lobby)
    bool operator==(const PlayerState &) const = default;
};

// The game's settings. Each is empty when the reply did not reach it: it ended first, the
// server's patch does not send it, or the patch is one whose layout is not known. Codes are
// kept as sent, known or not.
struct GameSettings {
    std::optional<Patch> patch;
    std::optional<bool> password;
    std::optional<int> gameMode;    // 2 co-operative, 3 solo, 4 team
    std::optional<int> respawnType; // 0 none, 1 individual, 2 team, 3 infinite
    std::optional<bool> startTimer;
    std::optional<qint32> startTimerSeconds;
    // Sent by patch 1.3 and later only.
    std::optional<qint32> debriefSeconds;
    std::optional<qint32> respawnWaitShortest;
    std::optional<qint32> respawnWaitLongest;
    std::optional<qint32> respawnInvulnerable;
    std::optional<int> respawnCount; // for individual and team respawns
    std::optional<bool> observers;
    std::optional<qint32> startWaitSeconds;
    std::optional<int> iff; // 0 none, 1 reticle, 2 names
    std::optional<bool> threatIndicator;
    std::optional<QString> weaponRestrictions;
    bool operator==(const GameSettings &) const = default;
};

// What one reply says about a server's current game.
struct ServerStatus {
    QString name;
    QString map;
    QString mission; // meaningful in co-operative games only
    QString gameType;
    int maxPlayers = 0;  // 0..255
    QStringList players; // every name of the reply in order; on a dedicated server the
                         // first is the host itself
    QString version;
    QString mods;
    bool dedicated = false;
    qint32 timeElapsed = 0; // seconds
    int gameStateCode = 0;  // 3 joining, 4 playing, 5 debrief, anything else unknown
    QString motd;
    qint32 length = 0; // seconds, 0 for no limit
    // One per name, in the names' order, as far as the reply gives them.
    QList<PlayerState> playerStates;
    GameSettings settings;
};

// The game state's text for its code: "Joining", "Playing", "Debrief" or "Unknown".
QString gameStateText(int code);
// The patch level's number ("1.2", "1.3", "1.4"); empty for a patch not known.
QString patchNumber(Patch patch);

// Reads a reply. Nothing when it is shorter than its header or ends before a field that must be
// present (the slot count, the name count, the dedicated flag, the game state), or when a
// dedicated server lists no name at all. Texts and numbers up to the game's length that run past
// the end read as empty and zero; the player table and the game settings after them are read
// as far as the reply goes (of an unknown patch, up to the start timer only) and stay empty
// beyond.
std::optional<ServerStatus> decodeReply(QByteArrayView bytes);

// Writes a whole reply the way a real server of the settings' patch lays it out (1.4 when none
// is given; an unknown patch gets a signature of its own and the 1.4 layout). Settings left
// empty are written as zeros, players without a state as alive and unassigned. Texts are
// written as ISO 8859-1 and cut at 254 bytes.
QByteArray encodeReply(const ServerStatus &status);

// The field readers, exposed for tests. Both move `pos` on whatever they read.
QString readText(QByteArrayView bytes, qsizetype &pos);
qint32 readFloat(QByteArrayView bytes, qsizetype &pos);

} // namespace grquery
