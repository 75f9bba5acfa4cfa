#include "servers/GRQueryProtocol.h"
#include "servers/GameCommandLine.h"
#include "servers/SimProcess.h"
#include "servers/clsPing.h"
#include "support/CoreApp.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QNetworkDatagram>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

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

TEST(QueryEngine, ALateAnswerIsNotTakenAndTheNextRefreshStartsAfresh) {
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

    slow->Refresh();
    EXPECT_EQ(slow->status(), clsGRServer::Waiting);
    ASSERT_TRUE(QTest::qWaitFor([&] { return slow->status() != clsGRServer::Waiting; }, 3000));
    EXPECT_EQ(slow->status(), clsGRServer::NoReply);
    EXPECT_EQ(engine.pool().counters().sent, 2u);
}

TEST(QueryEngine, RemovingAWaitingServerLeavesItsSlotCleanForTheNext) {
    CoreApp engine({}, {.queryWindowMs = 400});
    // A request still in the queue goes with its record.
    engine.add(QStringLiteral("127.10.3.9"))->Refresh();
    engine.servers().RemoveServer(QStringLiteral("127.10.3.9"));
    QTest::qWait(20);
    EXPECT_EQ(engine.pool().counters().sent, 0u);

    // A request that left: its window must not end the next record's query on the same slot.
    engine.add(QStringLiteral("127.10.3.1"))->Refresh();
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine.pool().counters().sent == 1; }, 1000));
    QElapsedTimer since;
    since.start();
    engine.servers().RemoveServer(QStringLiteral("127.10.3.1"));
    clsGRServer *next = engine.add(QStringLiteral("127.10.3.2"));
    EXPECT_EQ(next->slot(), 0);
    QTest::qWait(200);
    const qint64 refreshedAt = since.elapsed();
    next->Refresh();
    QTest::qWait(static_cast<int>(qMax<qint64>(0, 450 - since.elapsed())));
    // Only meaningful while its own window still runs.
    EXPECT_TRUE(since.elapsed() >= refreshedAt + 400 || next->status() == clsGRServer::Waiting);
    ASSERT_TRUE(QTest::qWaitFor([&] { return next->status() != clsGRServer::Waiting; }, 2000));
    EXPECT_EQ(next->status(), clsGRServer::NoReply);
}

TEST(QueryEngine, ASendFailureIsReportedOncePerRefreshNotPerServer) {
    CoreApp engine({}, {.queryWindowMs = 100});
    int calls = 0, failures = 1000;
    engine.pool().setSender([&](const QByteArray &, const QHostAddress &, quint16) {
        ++calls;
        using Outcome = clsGlobalGRControls::SendOutcome;
        return failures-- > 0 ? Outcome{Outcome::Failed, QStringLiteral("Network is unreachable")}
                              : Outcome{};
    });
    for (int i = 1; i <= 5; ++i)
        engine.add(QStringLiteral("127.10.4.%1").arg(i));

    engine.prompter.expect(QStringLiteral("An Error has occured (Sending Data)"), Answer::Cancel,
                           QStringLiteral("Network is unreachable"));
    engine.servers().RefreshAllServerData();
    ASSERT_TRUE(QTest::qWaitFor([&] { return settled(engine.servers()); }, 2000));
    for (const clsGRServer &r : engine.servers())
        EXPECT_EQ(r.status(), clsGRServer::NoReply);
    EXPECT_TRUE(engine.prompter.shown().at(0).is(Buttons::RetryCancel, Icon::Critical));
    EXPECT_EQ(calls, 5);

    // The next refresh reports again; Retry repeats the send, which now goes through.
    engine.prompter.expect(QStringLiteral("An Error has occured (Sending Data)"), Answer::Retry);
    failures = 1;
    engine.servers().RefreshAllServerData();
    ASSERT_TRUE(QTest::qWaitFor([&] { return settled(engine.servers()); }, 2000));
    EXPECT_EQ(engine.pool().counters().sent, 5u);
}

TEST(QueryEngine, ASendTheSystemAsksToRepeatIsRetriedSilentlyThreeTimes) {
    CoreApp engine({}, {.queryWindowMs = 100});
    int calls = 0, repeatsLeft = 3;
    engine.pool().setSender([&](const QByteArray &, const QHostAddress &, quint16) {
        ++calls;
        using Outcome = clsGlobalGRControls::SendOutcome;
        if (repeatsLeft-- > 0)
            return Outcome{Outcome::Repeat, QStringLiteral("No buffer space available")};
        return Outcome{};
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
}

TEST(QueryEngine, ANameIsResolvedBeforeItsRequestLeaves) {
    const SimProcess sim(R"({"servers": [{"address": "127.10.8.1",
                                                "state": {"name": "Named"}}]})");
    ASSERT_TRUE(sim.isReady());
    CoreApp engine({}, {.queryWindowMs = 400});
    // Not a dotted address to the program, but the system's resolver reads it without asking
    // any name server.
    clsGRServer *named = engine.add(QStringLiteral("0x7f.10.8.1"));
    named->Refresh();
    EXPECT_EQ(engine.pool().counters().sent, 0u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return named->status() != clsGRServer::Waiting; }, 3000));
    EXPECT_EQ(named->status(), clsGRServer::Answered);
    EXPECT_EQ(named->Name(), QStringLiteral("Named"));
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
    QElapsedTimer clock;
    clock.start();
    QTimer tick;
    tick.setInterval(100);
    int ticksInFlood = 0;
    QObject::connect(&tick, &QTimer::timeout, [&] { ticksInFlood += clock.elapsed() < 1400; });
    tick.start();
    engine.servers().RefreshAllServerData();
    probe.PingAddress(QStringLiteral("127.10.9.1"), {}, [&](qint32, qint32) { pinged = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return settled(engine.servers()) && pinged; }, 20000));
    QTest::qWait(static_cast<int>(qMax<qint64>(0, 1500 - clock.elapsed())));
    EXPECT_GE(ticksInFlood, 3);
    EXPECT_GT(engine.pool().counters().dropped, 1000u) << "the flood never came";
}

// Real servers look only at the request's first ten bytes; other clients send other bytes after.
TEST(Simulator, AnswersEveryRequestThatStartsWithTheQuery) {
    const SimProcess sim(R"({"servers": [{"address": "127.10.9.20"}]})");
    ASSERT_TRUE(sim.isReady());
    const QByteArray prefix = QByteArray::fromHex("C0DEF111420600F50300");
    const struct {
        QByteArray request;
        bool answered;
    } cases[] = {
        {grquery::request(), true},
        {prefix + QByteArray::fromHex("0102030405"), true},
        {prefix + QByteArray(600, 'x'), true},
        {prefix, true},
        {prefix.left(9), false},
        {QByteArray::fromHex("C1DEF111420600F503000000"), false},
    };
    QUdpSocket client;
    ASSERT_TRUE(client.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.request.toHex().left(40).toStdString());
        client.writeDatagram(c.request, QHostAddress(QStringLiteral("127.10.9.20")), grquery::port);
        const bool answered = client.waitForReadyRead(c.answered ? 2000 : 300);
        EXPECT_EQ(answered, c.answered);
        while (client.hasPendingDatagrams())
            EXPECT_TRUE(grquery::decodeReply(client.receiveDatagram().data()).has_value());
    }
}
