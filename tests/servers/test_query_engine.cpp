#include "servers/GRQueryProtocol.h"
#include "servers/GameCommandLine.h"
#include "servers/SimProcess.h"
#include "servers/clsPing.h"
#include "support/CoreApp.h"

#include <QHostAddress>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {
bool settled(const clsGRServers &servers) {
    for (const clsGRServer &r : servers)
        if (r.status() == clsGRServer::Waiting)
            return false;
    return true;
}
} // namespace

TEST(QueryEngine, AnswersAreTakenOnlyWhenWholeAndFromTheServerAsked) {
    const SimProcess sim(R"({"servers": [
        {"address": "127.10.1.1", "state": {"name": "Alpha", "map": "Castle", "gameType": "Siege",
         "players": ["Host", "Rook", "Sniper"], "dedicated": true, "maxPlayers": 10,
         "gameState": "Playing", "length": 600, "timeElapsed": 75}},
        {"address": "127.10.1.2", "behaviour": "silent"},
        {"address": "127.10.1.3", "behaviour": "truncated"},
        {"address": "127.10.1.4", "behaviour": "foreign", "from": "127.10.1.9"},
        {"address": "127.10.1.5", "behaviour": "random"},
        {"address": "127.10.1.6", "delayMs": 50, "state": {"name": "Bravo"}}]})");
    ASSERT_TRUE(sim.isReady());
    CoreApp engine({}, {.queryWindowMs = 400});
    for (int i = 1; i <= 6; ++i)
        engine.add(QStringLiteral("127.10.1.%1").arg(i), QStringLiteral("label %1").arg(i));
    engine.servers().RefreshAllServerData();
    engine.servers().RefreshAllServerData(); // one request per server is outstanding at most
    for (const clsGRServer &r : engine.servers())
        EXPECT_EQ(r.status(), clsGRServer::Waiting);
    ASSERT_TRUE(QTest::qWaitFor([&] { return settled(engine.servers()); }, 5000));

    const clsGRServer *alpha = engine.servers().Item(1), *bravo = engine.servers().Item(6);
    EXPECT_EQ(alpha->status(), clsGRServer::Answered);
    EXPECT_EQ(QStringList({alpha->Name(), alpha->Map(), alpha->PlayerCountString(),
                           alpha->TimeRemaining(), bravo->Name()}),
              QStringList({QStringLiteral("Alpha"), QStringLiteral("Castle"), QStringLiteral("2/9"),
                           QStringLiteral("08:45"), QStringLiteral("Bravo")}));
    EXPECT_TRUE(alpha->QueryRoundTripMs() >= 0 && alpha->QueryRoundTripMs() < 400);
    EXPECT_EQ(bravo->status(), clsGRServer::Answered);
    EXPECT_GE(bravo->QueryRoundTripMs(), 50);
    for (int i = 2; i <= 5; ++i) {
        const clsGRServer *r = engine.servers().Item(i);
        EXPECT_EQ(r->status(), clsGRServer::NoReply) << i;
        EXPECT_EQ(r->Name(), QStringLiteral("label %1").arg(i)) << i;
    }
    const auto &counters = engine.pool().counters();
    EXPECT_EQ(counters.sent, 6u);
    EXPECT_EQ(counters.delivered, 2u);
    EXPECT_GE(counters.dropped, 2u); // the foreign reply, the cut one, perhaps the noise
}

// A request lost on the way goes once more within the same window: the server that lost one
// answers; the one that lost two stays silent, which also shows that its window was not
// started again (a third request would have been answered).
TEST(QueryEngine, AnUnansweredRequestGoesOnceMoreWithinItsWindow) {
    const SimProcess sim(R"({"servers": [
        {"address": "127.10.11.1", "lose": 1, "state": {"name": "Lost one"}},
        {"address": "127.10.11.2", "lose": 2, "state": {"name": "Lost two"}},
        {"address": "127.10.11.3", "behaviour": "silent"}]})");
    ASSERT_TRUE(sim.isReady());
    CoreApp engine({}, {.queryWindowMs = 1500, .resendAfterMs = 300});
    for (int i = 1; i <= 3; ++i)
        engine.add(QStringLiteral("127.10.11.%1").arg(i));
    engine.servers().RefreshAllServerData();
    ASSERT_TRUE(QTest::qWaitFor([&] { return settled(engine.servers()); }, 10000));
    const auto statuses = [&] {
        std::vector<int> all;
        for (const clsGRServer &r : engine.servers())
            all.push_back(r.status());
        return all;
    };
    EXPECT_EQ(statuses(), (std::vector<int>{clsGRServer::Answered, clsGRServer::NoReply,
                                            clsGRServer::NoReply}));
    EXPECT_EQ(engine.servers().Item(1)->Name(), QStringLiteral("Lost one"));
    EXPECT_EQ(engine.pool().counters().sent, 6u);
    EXPECT_EQ(engine.pool().counters().resent, 3u);

    // The next refresh asks afresh, with a second request of its own when needed.
    engine.servers().RefreshAllServerData();
    ASSERT_TRUE(QTest::qWaitFor([&] { return settled(engine.servers()); }, 10000));
    EXPECT_EQ(statuses(), (std::vector<int>{clsGRServer::Answered, clsGRServer::Answered,
                                            clsGRServer::NoReply}));
}

TEST(QueryEngine, ALateAnswerIsNotTaken) {
    const SimProcess sim(R"({"servers": [{"address": "127.10.2.1", "delayMs": 500}]})");
    ASSERT_TRUE(sim.isReady());
    CoreApp engine({}, {.queryWindowMs = 250});
    clsGRServer *slow = engine.add(QStringLiteral("127.10.2.1"));
    slow->Refresh();
    ASSERT_TRUE(QTest::qWaitFor([&] { return slow->status() != clsGRServer::Waiting; }, 3000));
    EXPECT_EQ(slow->status(), clsGRServer::NoReply);
    // The answer comes after the window: it reaches the program and is dropped.
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine.pool().counters().received == 1; }, 3000));
    EXPECT_EQ(engine.pool().counters().dropped, 1u);
    EXPECT_EQ(slow->status(), clsGRServer::NoReply);
}

TEST(QueryEngine, RemovingAWaitingServerLeavesItsSlotCleanForTheNext) {
    CoreApp engine({}, {.queryWindowMs = 400});
    // Requests go nowhere; the order in which they leave and their windows end is what counts.
    QStringList sentTo;
    engine.pool().setSender([&](const QByteArray &, const QHostAddress &to, quint16) {
        sentTo << to.toString();
        return clsGlobalGRControls::SendOutcome{};
    });
    QStringList ended;
    QObject::connect(&engine.pool(), &clsGlobalGRControls::queryEnded,
                     [&](const QString &address, bool) { ended << address; });
    const auto sendsReach = [&](qsizetype n) {
        return QTest::qWaitFor([&] { return sentTo.size() >= n; }, 2000);
    };

    // A request still in the queue goes with its record: the next one queued leaves first.
    engine.add(QStringLiteral("127.10.3.9"))->Refresh();
    engine.servers().RemoveServer(QStringLiteral("127.10.3.9"));
    engine.add(QStringLiteral("127.10.3.1"))->Refresh();
    ASSERT_TRUE(sendsReach(1));

    // A request that left: its window must not end the next record's query on the same slot.
    // The windows, in the order they began: 127.10.3.1's (left behind on slot 0), the other
    // server's, then that of 127.10.3.2 (slot 0 again), which must end last.
    engine.add(QStringLiteral("127.10.3.3"))->Refresh();
    ASSERT_TRUE(sendsReach(2));
    engine.servers().RemoveServer(QStringLiteral("127.10.3.1"));
    clsGRServer *next = engine.add(QStringLiteral("127.10.3.2"));
    EXPECT_EQ(next->slot(), 0);
    next->Refresh();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended.size() == 2; }, 3000));
    EXPECT_EQ(sentTo, (QStringList{QStringLiteral("127.10.3.1"), QStringLiteral("127.10.3.3"),
                                   QStringLiteral("127.10.3.2")}));
    EXPECT_EQ(ended, (QStringList{QStringLiteral("127.10.3.3"), QStringLiteral("127.10.3.2")}));
    EXPECT_EQ(next->status(), clsGRServer::NoReply);
}

TEST(QueryEngine, ASendRefusedIsRepeatedSilentlyThriceAndAFailureReportedOncePerRefresh) {
    CoreApp engine({}, {.queryWindowMs = 100});
    int calls = 0, repeatsLeft = 3, failures = 0;
    engine.pool().setSender([&](const QByteArray &, const QHostAddress &, quint16) {
        ++calls;
        using Outcome = clsGlobalGRControls::SendOutcome;
        if (repeatsLeft-- > 0)
            return Outcome{Outcome::Repeat, QStringLiteral("No buffer space available")};
        return failures-- > 0 ? Outcome{Outcome::Failed, QStringLiteral("Network is unreachable")}
                              : Outcome{};
    });
    clsGRServer *r = engine.add(QStringLiteral("127.10.5.1"));
    r->Refresh();
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine.pool().counters().sent == 1; }, 1000));
    EXPECT_EQ(calls, 4);

    // A fourth refusal is reported.
    repeatsLeft = 4;
    engine.prompter.expect(QStringLiteral("An Error has occured (Sending Data)"), Answer::Cancel,
                           QStringLiteral("No buffer space available"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return r->status() == clsGRServer::NoReply; }, 1000));
    r->Refresh();
    ASSERT_TRUE(QTest::qWaitFor([&] { return r->status() == clsGRServer::NoReply; }, 1000));

    // A send that fails outright is not repeated, and a refresh of five reports it once.
    for (int i = 2; i <= 5; ++i)
        engine.add(QStringLiteral("127.10.5.%1").arg(i));
    calls = 0;
    failures = 1000;
    engine.prompter.expect(QStringLiteral("An Error has occured (Sending Data)"), Answer::Cancel,
                           QStringLiteral("Network is unreachable"));
    engine.servers().RefreshAllServerData();
    ASSERT_TRUE(QTest::qWaitFor([&] { return settled(engine.servers()); }, 2000));
    for (const clsGRServer &server : engine.servers())
        EXPECT_EQ(server.status(), clsGRServer::NoReply);
    EXPECT_TRUE(engine.prompter.lastShown().is(Buttons::RetryCancel, Icon::Critical));
    EXPECT_EQ(calls, 5);

    // The next refresh reports again; Retry repeats the send, which now goes through.
    engine.prompter.expect(QStringLiteral("An Error has occured (Sending Data)"), Answer::Retry);
    failures = 1;
    const quint64 sentBefore = engine.pool().counters().sent;
    engine.servers().RefreshAllServerData();
    ASSERT_TRUE(QTest::qWaitFor([&] { return settled(engine.servers()); }, 2000));
    EXPECT_EQ(engine.pool().counters().sent - sentBefore, 5u);
}

// "127.0.0.010" passes the address check as 127.0.0.10; the query, the ping and the game's
// command line must all go there, not to the octal reading 127.0.0.8.
TEST(QueryEngine, ADottedAddressIsReadAsTheCheckReadsItEverywhere) {
    const SimProcess sim(R"({"servers": [{"address": "127.0.0.8", "state": {"name": "Eight"}},
                                         {"address": "127.0.0.10", "state": {"name": "Ten"}}]})");
    ASSERT_TRUE(sim.isReady());
    CoreApp engine({}, {.queryWindowMs = 400});
    // The ping's stand-in asks the status port, so the server that answers tells where it went.
    clsPing probe({.timeoutMs = 400,
                   .prefer = platform::IcmpEcho::Prefer::NoSocket,
                   .probe = grquery::request()},
                  nullptr);
    clsPing::Settings echo;
    echo.timeoutMs = 400;
    clsPing icmp(echo, nullptr);
    icmp.echo().setUnanswered({QHostAddress(QStringLiteral("127.0.0.8")).toIPv4Address()});

    for (const char *text : {"127.0.0.010", "127.0.0.10.4", "127.000.0.0010"}) {
        SCOPED_TRACE(text);
        const QString address = QString::fromLatin1(text);
        clsGRServer *server = engine.add(address);
        server->Refresh();
        std::vector<qint32> outcomes;
        const auto record = [&](qint32 outcome, qint32) { outcomes.push_back(outcome); };
        probe.PingAddress(address, {}, record);
        if (!icmp.usesQueryRoundTrip())
            icmp.PingAddress(address, QByteArray(32, 'A'), record);
        const size_t expected = icmp.usesQueryRoundTrip() ? 1 : 2;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return server->status() != clsGRServer::Waiting && outcomes.size() == expected; },
            3000));
        EXPECT_EQ(server->Name(), QStringLiteral("Ten"));
        EXPECT_EQ(outcomes, std::vector<qint32>(expected, platform::IcmpEcho::Success));
        EXPECT_EQ(
            GameCommandLine::request(QStringLiteral("/opt/GR/"), address, {}).arguments.mid(1),
            (QStringList{QStringLiteral("-client"), QStringLiteral("127.0.0.10")}));
        EXPECT_EQ(GameCommandLine::windowsText(QStringLiteral("C:\\GR\\"), address, {}),
                  QStringLiteral("\"C:\\GR\\GhostRecon.exe\" -client 127.0.0.10"));
    }
}

// Two neighbours flood the query socket and the ping's stand-in socket while the program waits
// for its answers; its timers must still come round.
TEST(QueryEngine, AFloodOfDatagramsLeavesTheEventLoopRunning) {
    const SimProcess sim(R"({"servers": [
        {"address": "127.10.9.1", "floodMs": 1500, "from": "127.10.9.101"},
        {"address": "127.10.9.2", "floodMs": 1500, "from": "127.10.9.102"},
        {"address": "127.10.9.3", "delayMs": 300}]})");
    ASSERT_TRUE(sim.isReady());
    CoreApp engine({}, {.queryWindowMs = 3000});
    for (int i = 1; i <= 3; ++i)
        engine.add(QStringLiteral("127.10.9.%1").arg(i));
    clsPing probe({.timeoutMs = 700,
                   .prefer = platform::IcmpEcho::Prefer::NoSocket,
                   .probe = grquery::request()},
                  nullptr);
    bool pinged = false;
    // A tick counts as one within the flood when junk was read since the tick before.
    QTimer tick;
    tick.setInterval(100);
    int ticksInFlood = 0;
    quint64 droppedBefore = 0;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const quint64 dropped = engine.pool().counters().dropped;
        ticksInFlood += dropped > droppedBefore && droppedBefore > 0;
        droppedBefore = dropped;
    });
    tick.start();
    engine.servers().RefreshAllServerData();
    probe.PingAddress(QStringLiteral("127.10.9.1"), {}, [&](qint32, qint32) { pinged = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticksInFlood >= 3; }, 20000))
        << "the timer did not come round during the flood; " << engine.pool().counters().dropped
        << " datagrams dropped";
    ASSERT_TRUE(QTest::qWaitFor([&] { return settled(engine.servers()) && pinged; }, 20000));
}
