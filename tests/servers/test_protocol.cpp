#include "servers/GRQueryProtocol.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace grquery;

namespace {
QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

ServerStatus sampleStatus() {
    ServerStatus s;
    s.name = QStringLiteral("Caf\u00e9 Ghosts");
    s.map = QStringLiteral("Castle");
    s.mission = QStringLiteral("Mission 03");
    s.gameType = QStringLiteral("Last Man Standing");
    s.maxPlayers = 12;
    s.players = {QStringLiteral("Host"), QStringLiteral("Rook"), QStringLiteral("Sniper")};
    s.version = QStringLiteral("11.101A");
    s.mods = QStringLiteral("mp1");
    s.dedicated = true;
    s.timeElapsed = 75;
    s.gameStateCode = 4;
    s.motd = QString(250, u'm');
    s.length = 600;
    s.hasPassword = true;
    return s;
}
} // namespace

TEST(QueryProtocol, RequestIsTheFixedThirteenBytes) {
    EXPECT_EQ(request(), bytes({0xC0, 0xDE, 0xF1, 0x11, 0x42, 0x06, 0x00, 0xF5, 0x03, 0, 0, 0, 0}));
}

TEST(QueryProtocol, TextFieldsReadUpToTheirZeroAndMoveOnByTheirLength) {
    const struct {
        QByteArray input;
        QString text;
        qsizetype advance;
    } cases[] = {
        {bytes({5, 0, 0, 0, 'A', 'B', 'C', 0, 0}), QStringLiteral("ABC"), 9},
        {bytes({3, 0, 0, 0, 'A', 'B', 'C'}), QString(), 7},                // no zero: empty
        {bytes({5, 1, 0, 0, 'A', 'B', 0, 0, 0}), QStringLiteral("AB"), 9}, // only the low byte
        {bytes({5, 0, 0, 0, 'A', 'B'}), QStringLiteral("AB"), 9},          // the end reads as zero
        {bytes({0, 0, 0, 0, 'A', 0}), QString(), 4},
        {QByteArray(), QString(), 4},
        {bytes({2, 0, 0, 0, 0xE9, 0}), QStringLiteral("\u00e9"), 6}, // ISO 8859-1
    };
    for (const auto &c : cases) {
        qsizetype pos = 0;
        EXPECT_EQ(readText(c.input, pos), c.text) << c.input.toHex().constData();
        EXPECT_EQ(pos, c.advance) << c.input.toHex().constData();
    }
    // Well past the end (an earlier length byte pointed there): empty, and no read outside.
    qsizetype pos = 40;
    EXPECT_TRUE(readText(bytes({5, 0, 0, 0, 'A', 'B'}), pos).isEmpty() && pos == 44);
}

TEST(QueryProtocol, FloatsGiveTheRoundedMagnitudeOrZero) {
    const struct {
        QByteArray input;
        qint32 value;
    } cases[] = {
        {bytes({0x00, 0x00, 0xF0, 0x42}), 120}, // 120.0
        {bytes({0x00, 0x00, 0xF0, 0xC2}), 120}, // -120.0: the sign is ignored
        {bytes({0x00, 0x00, 0x20, 0x40}), 2},   // 2.5: ties to even
        {bytes({0x00, 0x00, 0x60, 0x40}), 4},   // 3.5
        {bytes({0x00, 0x00, 0x00, 0x00}), 0},
        {bytes({0x00, 0x00, 0x00, 0x80}), 0},          // -0.0
        {bytes({0x00, 0x00, 0x80, 0x7F}), 0},          // infinity
        {bytes({0x00, 0x00, 0xC0, 0x7F}), 0},          // not a number
        {bytes({0x00, 0x00, 0x00, 0x4F}), 0},          // 2^31 does not fit
        {bytes({0xFF, 0xFF, 0xFF, 0x4E}), 2147483520}, // the largest float that fits
        {bytes({0x01, 0x00, 0x00, 0x00}), 0},          // a denormal
        {bytes({0x00, 0x00, 0xF0}), 0},                // cut short: the missing byte is zero
    };
    for (const auto &c : cases) {
        qsizetype pos = 0;
        EXPECT_EQ(readFloat(c.input, pos), c.value) << c.input.toHex().constData();
        EXPECT_EQ(pos, 4);
    }
}

TEST(QueryProtocol, EncodedRepliesReadBackAndLookLikeARealServers) {
    for (bool dedicated : {false, true}) {
        ServerStatus s = sampleStatus();
        s.dedicated = dedicated;
        const QByteArray reply = encodeReply(s);
        EXPECT_EQ(reply.left(5), bytes({0xC0, 0xDE, 0xF1, 0x11, 0x42}));
        EXPECT_EQ(static_cast<quint8>(reply[5]) + 256 * static_cast<quint8>(reply[6]),
                  reply.size() - 7);
        EXPECT_EQ(reply.mid(7, 14), bytes({0xF4, 0x03, 0x14, 0x04, 0x00, 0x41, 0x04, 0x00, 0x41,
                                           0x00, 0x00, 0x78, 0x30, 0x63}));
        const auto back = decodeReply(reply);
        ASSERT_TRUE(back.has_value());
        const auto fields = [](const ServerStatus &x) {
            return std::tie(x.name, x.map, x.mission, x.gameType, x.maxPlayers, x.players,
                            x.version, x.mods, x.dedicated, x.timeElapsed, x.gameStateCode, x.motd,
                            x.length);
        };
        EXPECT_TRUE(fields(*back) == fields(s));
    }
    // Texts too long for one length byte are cut rather than corrupting the reply.
    ServerStatus longName;
    longName.name = QString(400, u'n');
    const auto back = decodeReply(encodeReply(longName));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->name, QString(254, u'n'));
}

TEST(QueryProtocol, RepliesThatEndTooEarlyDoNotDecode) {
    ServerStatus s = sampleStatus();
    s.dedicated = false;
    const QByteArray good = encodeReply(s);
    EXPECT_FALSE(decodeReply(good.left(24)));
    EXPECT_FALSE(decodeReply(good.left(25))); // the slot count is missing

    // A name count larger than the names present runs past the end.
    ServerStatus few;
    few.players = {QStringLiteral("Rook")};
    QByteArray lying = encodeReply(few);
    const qsizetype countAt = 25 + 4 * 5 + 2 + 4; // four one-byte texts, P, the slot count
    ASSERT_EQ(static_cast<quint8>(lying[countAt]), 1);
    lying[countAt] = 40;
    EXPECT_FALSE(decodeReply(lying));

    // A dedicated server must list at least itself.
    ServerStatus empty;
    empty.dedicated = true;
    EXPECT_FALSE(decodeReply(encodeReply(empty)));

    // Cut after the game state: the message of the day and the length read as empty and zero.
    const qsizetype motdAt = good.indexOf(QByteArray(250, 'm')) - 4;
    const auto cut = decodeReply(good.left(motdAt - 4));
    ASSERT_TRUE(cut.has_value());
    EXPECT_TRUE(cut->gameStateCode == 4 && cut->motd.isEmpty() && cut->length == 0);
    EXPECT_FALSE(decodeReply(good.left(motdAt - 9))); // the game state itself is gone
}
