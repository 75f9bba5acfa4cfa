#pragma once

#include <QByteArray>
#include <QByteArrayView>
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

// What one reply says about a server's current game.
struct ServerStatus {
    QString name;
    QString map;
    QString mission;
    QString gameType;
    int maxPlayers = 0;  // 0..255
    QStringList players; // every name of the reply in order; on a dedicated server the
                         // first is the host itself
    QString version;
    QString mods;
    bool dedicated = false;
    qint32 timeElapsed = 0; // seconds
    int gameStateCode = 0;  // 3 joining, 4 playing, anything else unknown
    QString motd;
    qint32 length = 0;        // seconds, 0 for no limit
    bool hasPassword = false; // only written; the reader skips it
};

// The game state's text for its code: "Joining", "Playing" or "Unknown".
QString gameStateText(int code);

// Reads a reply. Nothing when it is shorter than its header or ends before a field that must be
// present (the slot count, the name count, the dedicated flag, the game state), or when a
// dedicated server lists no name at all. Texts and numbers that run past the end read as empty
// and zero.
std::optional<ServerStatus> decodeReply(QByteArrayView bytes);

// Writes a reply the way a real server lays it out, with the trailing player table that the
// reader ignores. Texts are written as ISO 8859-1 and cut at 254 bytes.
QByteArray encodeReply(const ServerStatus &status);

// The field readers, exposed for tests. Both move `pos` on whatever they read.
QString readText(QByteArrayView bytes, qsizetype &pos);
qint32 readFloat(QByteArrayView bytes, qsizetype &pos);

} // namespace grquery
