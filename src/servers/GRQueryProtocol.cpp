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

constexpr qsizetype signatureAt = 7;
constexpr qsizetype signatureSize = 14;
// The header signature of each patch level. The unknown one is only ever written, for a
// server of a patch this program does not know.
const char *signature(Patch patch) {
    switch (patch) {
    case Patch::V1_2:
        return "\xF4\x03\x14\x02\x0A\x41\x02\x0A\x41\x00\x00\x78\x30\x63";
    case Patch::V1_3:
        return "\xF4\x03\x14\x03\x05\x41\x03\x05\x41\x00\x00\x78\x30\x63";
    case Patch::V1_4:
        return "\xF4\x03\x14\x04\x00\x41\x04\x00\x41\x00\x00\x78\x30\x63";
    case Patch::Unknown:
        break;
    }
    return "\xF4\x03\x14\x05\x00\x41\x05\x00\x41\x00\x00\x78\x30\x63";
}

Patch patchOf(QByteArrayView bytes) {
    const QByteArrayView sent = bytes.sliced(signatureAt, signatureSize);
    for (Patch patch : {Patch::V1_2, Patch::V1_3, Patch::V1_4})
        if (sent == QByteArrayView(signature(patch), signatureSize))
            return patch;
    return Patch::Unknown;
}

bool sendsTimings(Patch patch) {
    return patch == Patch::V1_3 || patch == Patch::V1_4;
}

// Reads the player table and the settings that end the reply. A value is read only when all
// of its bytes are in the reply; once one is not, nothing after it is, so a reply cut short
// keeps what came before the cut and leaves the rest empty.
class TailReader {
public:
    TailReader(QByteArrayView bytes, qsizetype pos)
        : m_bytes(bytes)
        , m_pos(pos) {}

    bool has(qsizetype size) const {
        return m_pos >= 0 && m_pos <= m_bytes.size() && size <= m_bytes.size() - m_pos;
    }
    void skip(qsizetype size) { m_pos += size; }
    std::optional<int> byte() {
        if (!has(1))
            return std::nullopt;
        return static_cast<quint8>(m_bytes[m_pos++]);
    }
    std::optional<bool> flag() {
        const auto b = byte();
        return b ? std::optional<bool>(*b != 0) : std::nullopt;
    }
    // A count or code of which only the first of its four bytes is used.
    std::optional<int> longByte() {
        if (!has(4))
            return std::nullopt;
        const int value = static_cast<quint8>(m_bytes[m_pos]);
        m_pos += 4;
        return value;
    }
    std::optional<qint32> seconds() {
        if (!has(4))
            return std::nullopt;
        return readFloat(m_bytes, m_pos);
    }
    std::optional<QString> text() {
        if (!has(4) || !has(4 + static_cast<quint8>(m_bytes[m_pos])))
            return std::nullopt;
        return readText(m_bytes, m_pos);
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos;
};

void readTail(QByteArrayView bytes, qsizetype pos, ServerStatus &s) {
    TailReader in(bytes, pos);
    GameSettings &g = s.settings;
    const auto entries = in.longByte();
    if (!entries)
        return;
    for (int i = 0; i < *entries; ++i) {
        if (!in.has(5))
            return;
        in.skip(1);
        PlayerState player;
        player.dead = *in.byte() != 0;
        player.team = *in.byte();
        in.skip(2);
        // Entries beyond the names have no one to belong to.
        if (i < s.players.size())
            s.playerStates.append(player);
    }
    in.skip(40 + 1); // the teams' data and a byte of unknown use
    if (!(g.startTimer = in.flag()) || !(g.startTimerSeconds = in.seconds()))
        return;
    // What follows differs between patches: of one not known, nothing more can be trusted.
    if (g.patch == Patch::Unknown)
        return;
    if (sendsTimings(*g.patch)) {
        if (!(g.debriefSeconds = in.seconds()) || !(g.respawnWaitShortest = in.seconds()) ||
            !(g.respawnWaitLongest = in.seconds()) || !(g.respawnInvulnerable = in.seconds()))
            return;
    }
    in.skip(4);
    if (!(g.respawnCount = in.byte()))
        return;
    in.skip(4);
    if (!(g.observers = in.flag()))
        return;
    in.skip(3);
    if (!(g.startWaitSeconds = in.seconds()) || !(g.iff = in.byte()) ||
        !(g.threatIndicator = in.flag()))
        return;
    in.skip(5);
    g.weaponRestrictions = in.text();
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

QString patchNumber(Patch patch) {
    switch (patch) {
    case Patch::V1_2:
        return QStringLiteral("1.2");
    case Patch::V1_3:
        return QStringLiteral("1.3");
    case Patch::V1_4:
        return QStringLiteral("1.4");
    case Patch::Unknown:
        break;
    }
    return {};
}

QString gameStateText(int code) {
    switch (code) {
    case 3:
        return QStringLiteral("Joining");
    case 4:
        return QStringLiteral("Playing");
    case 5:
        return QStringLiteral("Debrief");
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
            // The position may already lie past the end, where every byte reads as zero.
            if (pos < bytes.size())
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
    s.settings.patch = patchOf(bytes);
    qsizetype pos = headerSize;
    s.name = readText(bytes, pos);
    s.map = readText(bytes, pos);
    s.mission = readText(bytes, pos);
    s.gameType = readText(bytes, pos);
    const auto slotByte = requiredByte(bytes, pos + 2);
    if (!slotByte)
        return std::nullopt;
    s.settings.password = byteAt(bytes, pos + 1) != 0;
    pos += 2;
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
    pos += 4;
    if (const auto mode = requiredByte(bytes, pos))
        s.settings.gameMode = *mode;
    pos += 4;
    s.motd = readText(bytes, pos);
    if (const auto respawns = requiredByte(bytes, pos))
        s.settings.respawnType = *respawns;
    pos += 4;
    s.length = readFloat(bytes, pos);
    readTail(bytes, pos, s);
    return s;
}

QByteArray encodeReply(const ServerStatus &s) {
    const GameSettings &g = s.settings;
    const Patch patch = g.patch.value_or(Patch::V1_4);
    const auto code = [](std::optional<int> value) {
        return static_cast<char>(value.value_or(0) & 0xFF);
    };
    const auto flag = [](std::optional<bool> value) { return value.value_or(false) ? '\1' : '\0'; };
    QByteArray out;
    out.reserve(640);
    out.append("\xC0\xDE\xF1\x11\x42", 5);
    out.append("\0\0", 2); // the length after these 7 bytes, filled in below
    out.append(signature(patch), signatureSize);
    appendLong(out, 0);
    appendText(out, s.name);
    appendText(out, s.map);
    appendText(out, s.mission);
    appendText(out, s.gameType);
    out.append('\0');
    out.append(flag(g.password));
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
    appendLong(out, static_cast<quint8>(code(g.gameMode)));
    appendText(out, s.motd);
    appendLong(out, static_cast<quint8>(code(g.respawnType)));
    appendFloat(out, s.length);

    appendLong(out, static_cast<quint32>(names));
    for (int i = 0; i < names; ++i) {
        const PlayerState player = i < s.playerStates.size() ? s.playerStates[i] : PlayerState{};
        const char entry[] = {0, player.dead ? '\1' : '\0', static_cast<char>(player.team & 0xFF),
                              0, 0};
        out.append(entry, sizeof entry);
    }
    out.append(QByteArray(40 + 1, '\0'));
    out.append(flag(g.startTimer));
    appendFloat(out, g.startTimerSeconds.value_or(0));
    if (patch != Patch::V1_2) {
        appendFloat(out, g.debriefSeconds.value_or(0));
        appendFloat(out, g.respawnWaitShortest.value_or(0));
        appendFloat(out, g.respawnWaitLongest.value_or(0));
        appendFloat(out, g.respawnInvulnerable.value_or(0));
    }
    appendLong(out, 0);
    out.append(code(g.respawnCount));
    appendLong(out, 0);
    out.append(flag(g.observers));
    out.append(QByteArray(3, '\0'));
    appendFloat(out, g.startWaitSeconds.value_or(0));
    out.append(code(g.iff));
    out.append(flag(g.threatIndicator));
    out.append(QByteArray(5, '\0'));
    appendText(out, g.weaponRestrictions.value_or(QString()));
    out.append(QByteArray(23, '\0'));

    const auto after = static_cast<quint32>(out.size() - 7);
    out[5] = static_cast<char>(after & 0xFFu);
    out[6] = static_cast<char>((after >> 8) & 0xFFu);
    return out;
}

} // namespace grquery
