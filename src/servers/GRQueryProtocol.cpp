#include "servers/GRQueryProtocol.h"

#include <bit>
#include <cmath>
#include <limits>

namespace grquery {

namespace {
// A byte of the datagram, zero beyond its end.
quint8 byteAt(QByteArrayView bytes, qsizetype pos) {
    return pos >= 0 && pos < bytes.size() ? static_cast<quint8>(bytes[pos]) : 0;
}

// A byte the reply must hold; nothing when the reply has ended.
std::optional<quint8> requiredByte(QByteArrayView bytes, qsizetype pos) {
    if (pos < 0 || pos >= bytes.size())
        return std::nullopt;
    return static_cast<quint8>(bytes[pos]);
}

void appendLong(QByteArray &out, quint32 value) {
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFFu));
}

void appendText(QByteArray &out, const QString &text) {
    QByteArray latin = text.toLatin1().left(254);
    // A zero inside the text would end it early on the reading side.
    latin.replace('\0', '?');
    appendLong(out, static_cast<quint32>(latin.size() + 1));
    out.append(latin);
    out.append('\0');
}

void appendFloat(QByteArray &out, qint32 value) {
    appendLong(out, std::bit_cast<quint32>(static_cast<float>(value)));
}
} // namespace

QByteArray request() {
    static const char bytes[] = {'\xC0', '\xDE', '\xF1', '\x11', '\x42', '\x06', '\x00',
                                 '\xF5', '\x03', '\x00', '\x00', '\x00', '\x00'};
    return QByteArray(bytes, sizeof bytes);
}

QString gameStateText(int code) {
    switch (code) {
    case 3:
        return QStringLiteral("Joining");
    case 4:
        return QStringLiteral("Playing");
    default:
        return QStringLiteral("Unknown");
    }
}

QString readText(QByteArrayView bytes, qsizetype &pos) {
    const int length = byteAt(bytes, pos);
    pos += 4;
    QString text;
    for (int i = 0; i < length; ++i) {
        if (byteAt(bytes, pos + i) == 0) {
            text = QString::fromLatin1(bytes.sliced(pos, i));
            break;
        }
    }
    pos += length;
    return text;
}

qint32 readFloat(QByteArrayView bytes, qsizetype &pos) {
    quint32 pattern = 0;
    for (int i = 0; i < 4; ++i)
        pattern |= static_cast<quint32>(byteAt(bytes, pos + i)) << (8 * i);
    pos += 4;
    if (pattern == 0)
        return 0;
    // The magnitude only: the sign bit plays no part. Infinities and not-a-number patterns come
    // out far beyond the 32-bit range and so give 0, as every other out-of-range value does.
    const int exponent = static_cast<int>((pattern & 0x7F800000u) >> 23) - 127;
    const double mantissa = 1.0 + static_cast<double>(pattern & 0x7FFFFFu) / 8388608.0;
    const double rounded = std::nearbyint(std::ldexp(mantissa, exponent));
    if (rounded > std::numeric_limits<qint32>::max())
        return 0;
    return static_cast<qint32>(rounded);
}

std::optional<ServerStatus> decodeReply(QByteArrayView bytes) {
    if (bytes.size() < headerSize)
        return std::nullopt;
    ServerStatus s;
    qsizetype pos = headerSize;
    s.name = readText(bytes, pos);
    s.map = readText(bytes, pos);
    s.mission = readText(bytes, pos);
    s.gameType = readText(bytes, pos);
    pos += 2;
    const auto slotByte = requiredByte(bytes, pos);
    if (!slotByte)
        return std::nullopt;
    s.maxPlayers = *slotByte;
    pos += 4;
    const auto names = requiredByte(bytes, pos);
    if (!names)
        return std::nullopt;
    pos += 4;
    for (int i = 0; i < *names; ++i)
        s.players.append(readText(bytes, pos));
    pos += 17;
    s.version = readText(bytes, pos);
    s.mods = readText(bytes, pos);
    const auto dedicated = requiredByte(bytes, pos);
    if (!dedicated)
        return std::nullopt;
    s.dedicated = *dedicated != 0;
    if (s.dedicated && s.players.isEmpty())
        return std::nullopt;
    pos += 1;
    s.timeElapsed = readFloat(bytes, pos);
    const auto state = requiredByte(bytes, pos);
    if (!state)
        return std::nullopt;
    s.gameStateCode = *state;
    pos += 8;
    s.motd = readText(bytes, pos);
    pos += 4;
    s.length = readFloat(bytes, pos);
    return s;
}

QByteArray encodeReply(const ServerStatus &s) {
    QByteArray out;
    out.reserve(512);
    out.append("\xC0\xDE\xF1\x11\x42", 5);
    out.append("\0\0", 2); // the length after these 7 bytes, filled in below
    out.append("\xF4\x03\x14\x04\x00\x41\x04\x00\x41\x00\x00\x78\x30\x63", 14);
    appendLong(out, 0);
    appendText(out, s.name);
    appendText(out, s.map);
    appendText(out, s.mission);
    appendText(out, s.gameType);
    out.append('\0');
    out.append(s.hasPassword ? '\1' : '\0');
    appendLong(out, static_cast<quint32>(s.maxPlayers & 0xFF));
    const auto names = static_cast<int>(qMin<qsizetype>(s.players.size(), 255));
    appendLong(out, static_cast<quint32>(names));
    for (int i = 0; i < names; ++i)
        appendText(out, s.players[i]);
    out.append(QByteArray(17, '\0'));
    appendText(out, s.version);
    appendText(out, s.mods);
    out.append(s.dedicated ? '\1' : '\0');
    appendFloat(out, s.timeElapsed);
    appendLong(out, static_cast<quint32>(s.gameStateCode & 0xFF));
    appendLong(out, 0);
    appendText(out, s.motd);
    appendLong(out, 0);
    appendFloat(out, s.length);
    // Real servers go on with a player table the program does not read: the count, then five
    // bytes per player, the third being the team.
    appendLong(out, static_cast<quint32>(names));
    for (int i = 0; i < names; ++i) {
        const char entry[] = {static_cast<char>(i), 0, static_cast<char>(1 + i % 2), 0, 0};
        out.append(entry, sizeof entry);
    }
    const auto after = static_cast<quint32>(out.size() - 7);
    out[5] = static_cast<char>(after & 0xFFu);
    out[6] = static_cast<char>((after >> 8) & 0xFFu);
    return out;
}

} // namespace grquery
