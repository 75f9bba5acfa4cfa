#include "servers/SimProcess.h"
#include "support/CoreApp.h"

#include <QElapsedTimer>
#include <QTest>

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
