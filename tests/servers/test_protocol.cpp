#include "servers/GRQueryProtocol.h"

#include <gtest/gtest.h>

#include <bit>
#include <tuple>
#include <utility>

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
    s.playerStates = {{.dead = false, .team = 5}, {.dead = true, .team = 2}, {.team = 1}};
    GameSettings &g = s.settings;
    g.patch = Patch::V1_4;
    g.password = true;
    g.gameMode = 4;
    g.respawnType = 2;
    g.startTimer = true;
    g.startTimerSeconds = 90;
    g.debriefSeconds = 30;
    g.respawnWaitShortest = 5;
    g.respawnWaitLongest = 20;
    g.respawnInvulnerable = 3;
    g.respawnCount = 7;
    g.observers = true;
    g.startWaitSeconds = 45;
    g.iff = 1;
    g.threatIndicator = false;
    g.weaponRestrictions = QStringLiteral("No M203");
    return s;
}

// The settings a reply of `patch` carries: those of 1.2 lack the four timings, and one of an
// unknown patch is read no further than its start timer.
GameSettings carried(GameSettings g, Patch patch) {
    g.patch = patch;
    if (patch == Patch::V1_2 || patch == Patch::Unknown) {
        g.debriefSeconds = g.respawnWaitShortest = g.respawnWaitLongest = g.respawnInvulnerable =
            std::nullopt;
    }
    if (patch == Patch::Unknown) {
        g.respawnCount = std::nullopt;
        g.observers = g.threatIndicator = std::nullopt;
        g.startWaitSeconds = g.iff = std::nullopt;
        g.weaponRestrictions = std::nullopt;
    }
    return g;
}

// Writes a reply field by field as a server lays it out, with junk wherever a byte is not read,
// so that a reader one byte off reads junk.
class ReplyBuilder {
public:
    explicit ReplyBuilder(QByteArray signature) {
        m_out = bytes({0xC0, 0xDE, 0xF1, 0x11, 0x42, 0, 0});
        m_out += signature;
        junk(4);
    }
    ReplyBuilder &junk(int n) {
        m_out += QByteArray(n, '\xEE');
        return *this;
    }
    ReplyBuilder &byte(int v) {
        m_out += static_cast<char>(v);
        return *this;
    }
    // A four-byte field of which the first byte is the value.
    ReplyBuilder &code(int v) { return byte(v).junk(3); }
    ReplyBuilder &count(int v) { return byte(v).byte(0).byte(0).byte(0); }
    ReplyBuilder &text(const char *t) {
        const QByteArray latin(t);
        count(static_cast<int>(latin.size() + 1));
        m_out += latin;
        return byte(0);
    }
    ReplyBuilder &real(float v) {
        const auto b = std::bit_cast<quint32>(v);
        for (int i = 0; i < 4; ++i)
            byte(static_cast<int>((b >> (8 * i)) & 0xFF));
        return *this;
    }
    qsizetype size() const { return m_out.size(); }
    QByteArray done() {
        const auto after = m_out.size() - 7;
        m_out[5] = static_cast<char>(after & 0xFF);
        m_out[6] = static_cast<char>(after >> 8);
        return m_out;
    }

private:
    QByteArray m_out;
};

// The fourteen bytes after the header that tell a server's patch (an unknown one has its own).
QByteArray signatureOf(Patch patch) {
    const auto [major, minor] = patch == Patch::V1_2   ? std::pair{2, 0x0A}
                                : patch == Patch::V1_3 ? std::pair{3, 0x05}
                                : patch == Patch::V1_4 ? std::pair{4, 0x00}
                                                       : std::pair{4, 0x01};
    return bytes(
        {0xF4, 0x03, 0x14, major, minor, 0x41, major, minor, 0x41, 0, 0, 0x78, 0x30, 0x63});
}

// The reply of sampleStatus() from a server of `patch`, laid out by hand.
QByteArray handBuilt(Patch patch) {
    ReplyBuilder r(signatureOf(patch));
    r.text("Caf\xE9 Ghosts").text("Castle").text("Mission 03").text("Last Man Standing");
    r.junk(1).byte(1); // needs a password
    r.code(12).count(3).text("Host").text("Rook").text("Sniper");
    r.junk(17).text("11.101A").text("mp1");
    r.byte(1).real(75.0f).code(4).code(4);
    r.text(QByteArray(250, 'm').constData());
    r.code(2).real(600.0f);
    r.count(3);
    for (auto [dead, team] : {std::pair{0, 5}, {1, 2}, {0, 1}})
        r.junk(1).byte(dead).byte(team).junk(2);
    r.junk(40 + 1).byte(1).real(90.0f);
    if (patch != Patch::V1_2)
        r.real(30.0f).real(5.0f).real(20.0f).real(3.0f);
    r.junk(4).byte(7).junk(4).byte(1).junk(3).real(45.0f).byte(1).byte(0).junk(5);
    r.text("No M203").junk(23);
    return r.done();
}

const auto oldFields = [](const ServerStatus &x) {
    return std::tie(x.name, x.map, x.mission, x.gameType, x.maxPlayers, x.players, x.version,
                    x.mods, x.dedicated, x.timeElapsed, x.gameStateCode, x.motd, x.length);
};

bool sameStatus(const ServerStatus &a, const ServerStatus &b) {
    return oldFields(a) == oldFields(b) && a.playerStates == b.playerStates &&
           a.settings == b.settings;
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

TEST(QueryProtocol, RepliesOfEachPatchReadEveryFieldAndAreWrittenInTheLayoutOfARealServer) {
    for (Patch patch : {Patch::V1_2, Patch::V1_3, Patch::V1_4, Patch::Unknown}) {
        ServerStatus expected = sampleStatus();
        expected.settings = carried(expected.settings, patch);
        const auto read = decodeReply(handBuilt(patch));
        ASSERT_TRUE(read.has_value());
        EXPECT_TRUE(sameStatus(*read, expected)) << static_cast<int>(patch);
        for (bool dedicated : {false, true}) {
            SCOPED_TRACE(static_cast<int>(patch) * 10 + dedicated);
            ServerStatus s = expected;
            s.dedicated = dedicated;
            const QByteArray reply = encodeReply(s);
            EXPECT_EQ(reply.left(5), bytes({0xC0, 0xDE, 0xF1, 0x11, 0x42}));
            EXPECT_EQ(static_cast<quint8>(reply[5]) + 256 * static_cast<quint8>(reply[6]),
                      reply.size() - 7);
            if (patch != Patch::Unknown) {
                // Byte for byte what the server sends, but for the bytes of unknown use.
                ASSERT_EQ(reply.size(), handBuilt(patch).size());
                EXPECT_EQ(reply.mid(7, 14), signatureOf(patch));
            } else {
                EXPECT_EQ(reply.mid(7, 3), signatureOf(patch).left(3));
                EXPECT_NE(reply.mid(7, 14), signatureOf(Patch::V1_4));
            }
            const auto back = decodeReply(reply);
            ASSERT_TRUE(back.has_value());
            EXPECT_TRUE(sameStatus(*back, s));
        }
    }
    // Texts too long for one length byte are cut rather than corrupting the reply.
    ServerStatus longName;
    longName.name = QString(400, u'n');
    const auto back = decodeReply(encodeReply(longName));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->name, QString(254, u'n'));
}

TEST(QueryProtocol, ARepliesCutShortKeepsWhatCameBeforeAndLeavesTheRestUnknown) {
    for (Patch patch : {Patch::V1_2, Patch::V1_4, Patch::Unknown}) {
        SCOPED_TRACE(static_cast<int>(patch));
        const QByteArray whole = handBuilt(patch);
        const ServerStatus full = *decodeReply(whole);
        // The game state byte is the last one a reply cannot do without.
        const qsizetype stateAt = whole.indexOf(QByteArray(250, 'm')) - 4 - 8;
        ASSERT_EQ(static_cast<quint8>(whole[stateAt]), 4);
        std::optional<ServerStatus> before;
        for (qsizetype n = 0; n <= whole.size(); ++n) {
            const auto cut = decodeReply(whole.left(n));
            if (n <= stateAt) {
                EXPECT_FALSE(cut.has_value()) << n;
                continue;
            }
            ASSERT_TRUE(cut.has_value()) << "a cut the reply's first part accepts, at " << n;
            // Each setting is the whole reply's or unknown, and once known stays known.
            const auto same = [](const auto &part, const auto &whole, const auto &previous) {
                return (!part || part == whole) && (!previous || part);
            };
            const GameSettings &g = cut->settings;
            const GameSettings &w = full.settings;
            const GameSettings p = before ? before->settings : GameSettings{};
            EXPECT_TRUE(g.patch == w.patch && g.password == w.password) << n;
            EXPECT_TRUE(same(g.gameMode, w.gameMode, p.gameMode) &&
                        same(g.respawnType, w.respawnType, p.respawnType) &&
                        same(g.startTimer, w.startTimer, p.startTimer) &&
                        same(g.startTimerSeconds, w.startTimerSeconds, p.startTimerSeconds) &&
                        same(g.debriefSeconds, w.debriefSeconds, p.debriefSeconds) &&
                        same(g.respawnWaitShortest, w.respawnWaitShortest, p.respawnWaitShortest) &&
                        same(g.respawnWaitLongest, w.respawnWaitLongest, p.respawnWaitLongest) &&
                        same(g.respawnInvulnerable, w.respawnInvulnerable, p.respawnInvulnerable) &&
                        same(g.respawnCount, w.respawnCount, p.respawnCount) &&
                        same(g.observers, w.observers, p.observers) &&
                        same(g.startWaitSeconds, w.startWaitSeconds, p.startWaitSeconds) &&
                        same(g.iff, w.iff, p.iff) &&
                        same(g.threatIndicator, w.threatIndicator, p.threatIndicator) &&
                        same(g.weaponRestrictions, w.weaponRestrictions, p.weaponRestrictions))
                << n;
            EXPECT_EQ(cut->playerStates, full.playerStates.mid(0, cut->playerStates.size())) << n;
            EXPECT_GE(cut->playerStates.size(), before ? before->playerStates.size() : 0) << n;
            before = cut;
        }
        // Only the trailing bytes of unknown use are missing: every setting is there.
        EXPECT_EQ(decodeReply(whole.left(whole.size() - 23))->settings, full.settings);
        EXPECT_TRUE(oldFields(*before) == oldFields(full));
    }
}

TEST(QueryProtocol, RepliesThatEndTooEarlyDoNotDecode) {
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
    const QByteArray good = encodeReply(sampleStatus());
    const auto cut = decodeReply(good.left(good.indexOf(QByteArray(250, 'm')) - 8));
    ASSERT_TRUE(cut.has_value());
    EXPECT_TRUE(cut->gameStateCode == 4 && cut->motd.isEmpty() && cut->length == 0);
}
