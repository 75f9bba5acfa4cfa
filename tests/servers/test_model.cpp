#include "servers/GRQueryProtocol.h"
#include "servers/basUtilities.h"
#include "support/CoreApp.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
QByteArray replyWith(int state, qint32 length, qint32 elapsed) {
    grquery::ServerStatus s;
    s.name = QStringLiteral("Server");
    s.gameStateCode = state;
    s.length = length;
    s.timeElapsed = elapsed;
    return grquery::encodeReply(s);
}
} // namespace

TEST(ServerRecord, TimeLeftFollowsTheGameState) {
    const struct {
        int state;
        qint32 length;
        qint32 elapsed;
        qint32 seconds;
        const char16_t *text;
    } cases[] = {
        {4, 600, 75, 525, u"08:45"}, {4, 0, 75, 9990, u"--:--"},  {4, 600, 630, -30, u"-01:30"},
        {4, 60, 0, 60, u"01:00"},    {3, 600, 75, 0, u"Joining"}, {7, 600, 75, 9999, u"n/a"},
        {5, 600, 75, 9999, u"n/a"}, // the screen after a mission
    };
    for (const auto &c : cases) {
        clsGRServer r;
        ASSERT_TRUE(r.DataArrival(replyWith(c.state, c.length, c.elapsed)));
        EXPECT_EQ(r.status(), clsGRServer::Answered);
        EXPECT_EQ(r.SecondsRemaining(), c.seconds) << c.state << ' ' << c.elapsed;
        EXPECT_EQ(r.TimeRemaining(), QString::fromUtf16(c.text)) << c.state << ' ' << c.elapsed;
    }
}

TEST(ServerRecord, ADedicatedServerAloneHasNoPlayersAndACutTableLeavesLaterStatesUnknown) {
    grquery::ServerStatus s;
    s.dedicated = true;
    s.maxPlayers = 8;
    s.players = {QStringLiteral("Host")};
    clsGRServer alone;
    ASSERT_TRUE(alone.DataArrival(grquery::encodeReply(s)));
    EXPECT_EQ(alone.PlayerCount(), 0);
    EXPECT_EQ(alone.PlayerCountString(), QStringLiteral("0/7"));

    s.dedicated = false;
    s.players = {QStringLiteral("Host"), QStringLiteral("Rook"), QStringLiteral("Sniper")};
    s.playerStates = {{.team = 5}, {.dead = true, .team = 2}, {.team = 1}};
    QByteArray cut = grquery::encodeReply(s);
    cut.truncate(cut.indexOf(QByteArray("\0\1\2\0\0", 5)) + 5);
    clsGRServer r;
    ASSERT_TRUE(r.DataArrival(cut));
    EXPECT_TRUE(r.PlayerStateOf(QStringLiteral("R2")) && !r.PlayerStateOf(QStringLiteral("R3")));
}

TEST(ServerRecord, AReplyThatDoesNotReadToItsEndChangesNothing) {
    clsGRServer r;
    ASSERT_TRUE(r.DataArrival(replyWith(4, 600, 75)));
    const QByteArray other = replyWith(3, 0, 0);
    for (const QByteArray &bad : {other.left(24), other.left(25), other.left(60)}) {
        EXPECT_FALSE(r.DataArrival(bad));
        EXPECT_EQ(r.status(), clsGRServer::Answered);
        EXPECT_EQ(r.TimeRemaining(), QStringLiteral("08:45"));
        EXPECT_EQ(r.Name(), QStringLiteral("Server"));
    }
}

TEST(AddressCheck, DottedAddressesOnly) {
    for (const char *valid :
         {"1.2.3.4", "1.2.3.4.5", "255.255.255.255", " 1. 2.3.4", "-0.4.1.1", "1e2.1.1.1"})
        EXPECT_TRUE(IsValidIP(QString::fromLatin1(valid))) << valid;
    // Numbers too large for 32 bits are invalid, never an overflow.
    for (const char *invalid : {"256.1.1.1", "1.2.3", "1.2.3.", "1..2.3", "a.b.c.d", "1.2.3.255.5",
                                "1.2.3.4x", "-1.1.1.1", "", "99999999999.1.1.1", "1.1.1.1e300"})
        EXPECT_FALSE(IsValidIP(QString::fromLatin1(invalid))) << invalid;
}

TEST(ServerCollection, AddingKeysByAddressIgnoringCase) {
    CoreApp engine;
    clsGRServers &servers = engine.servers();
    EXPECT_EQ(engine.add(QString()), nullptr);
    clsGRServer *first = servers.AddServer(QStringLiteral("gr.example.org"), QStringLiteral("Mine"),
                                           QStringLiteral("pw"), 0);
    ASSERT_NE(first, nullptr);
    clsGRServer *again = servers.AddServer(QStringLiteral("GR.Example.ORG"),
                                           QStringLiteral("Other"), QStringLiteral("x"), 1);
    EXPECT_EQ(again, first);
    EXPECT_EQ(first->slot(), 0);
    servers.RemoveServer(QStringLiteral("not.there")); // nothing, and no box
    EXPECT_EQ(engine.serverRows(), QStringList{QStringLiteral("gr.example.org|Mine|pw|0")});
}

TEST(ServerCollection, SlotsAreReusedLowestFirstAndThePoolOnlyGrows) {
    CoreApp engine;
    clsGlobalGRControls &pool = engine.pool();
    std::vector<clsGRServer *> added;
    for (const char16_t *ip : {u"10.0.0.1", u"10.0.0.2", u"10.0.0.3"})
        added.push_back(engine.add(QString::fromUtf16(ip)));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(added[i]->slot(), i);
    EXPECT_EQ(pool.slotTag(1), QStringLiteral("10.0.0.2"));

    engine.servers().RemoveServer(QStringLiteral("10.0.0.2"));
    EXPECT_TRUE(pool.slotTag(1).isEmpty());
    EXPECT_EQ(engine.add(QStringLiteral("10.0.0.4"))->slot(), 1);
    EXPECT_EQ(engine.add(QStringLiteral("10.0.0.5"))->slot(), 3);

    // An address already present takes no slot: the next search hands the same one out.
    const int offered = pool.fnNextTimerAndWinsock().value();
    EXPECT_EQ(offered, 4);
    engine.servers().AddServer(QStringLiteral("10.0.0.1"), {}, {}, offered);
    EXPECT_TRUE(pool.slotTag(offered).isEmpty());
    EXPECT_TRUE(pool.fnNextTimerAndWinsock() == offered && pool.slotCount() == 5);

    // Events on a free slot do nothing.
    pool.timerFired(offered);
    pool.dataArrival(offered, replyWith(4, 600, 75), 1);
    for (const clsGRServer &r : engine.servers())
        EXPECT_EQ(r.status(), clsGRServer::NotQueried);
}

TEST(ServerCollection, RemovingAnImportedServerAsksAboutTheGamesList) {
    for (const Answer answer : {Answer::No, Answer::Yes}) {
        CoreApp engine;
        const QByteArray before = engine.dir.read(QStringLiteral("options.xml"));
        engine.add(QStringLiteral("127.0.0.11"))->setLoadedFromGame(true);
        engine.prompter.expect(QStringLiteral("Remove Server from Options.xml as well?"), answer,
                               QStringLiteral("This server IP was loaded from your in Ghost Recon "
                                              "server list in the options.xml file. Remove the "
                                              "entry from the options.xml as well?"));
        engine.servers().RemoveServer(QStringLiteral("127.0.0.11"));
        EXPECT_TRUE(engine.prompter.shown().at(0).is(Buttons::YesNo, Icon::Question));
        EXPECT_TRUE(engine.servers().Count() == 0 && engine.pool().slotTag(0).isEmpty());
        // Yes blanks the game's entry and leaves every other byte.
        QByteArray expected = before;
        if (answer == Answer::Yes)
            expected.replace("<IPAddress>127.0.0.11<", "<IPAddress><");
        EXPECT_EQ(engine.dir.read(QStringLiteral("options.xml")), expected);
    }
}
