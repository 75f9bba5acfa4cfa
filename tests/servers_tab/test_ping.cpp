#include "platform/IcmpEcho.h"
#include "servers/clsPing.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

#include <gtest/gtest.h>

using platform::IcmpEcho;

namespace {

quint32 v4(const char *text) {
    return QHostAddress(QString::fromLatin1(text)).toIPv4Address();
}

} // namespace

TEST(IcmpEcho, LoopbackAnswersAndEveryEchoEndsOnce) {
    IcmpEcho echo(700);
    if (echo.kind() == IcmpEcho::Kind::None)
        GTEST_SKIP() << echo.unavailableReason().toStdString();
    std::vector<IcmpEcho::Reply> replies;
    for (const char *address : {"127.0.0.1", "127.20.1.1", "127.20.1.2"})
        echo.send(v4(address), QByteArray(32, 'A'),
                  [&](const IcmpEcho::Reply &r) { replies.push_back(r); });
    EXPECT_TRUE(replies.empty()) << "results come from the event loop, not from send()";
    ASSERT_TRUE(QTest::qWaitFor([&] { return replies.size() == 3; }, 3000));
    for (const auto &reply : replies)
        EXPECT_TRUE(reply.status == IcmpEcho::Success && reply.roundTripMs >= 0 &&
                    reply.roundTripMs < 700);
    EXPECT_EQ(echo.pending(), 0);
    // An answered echo never times out as well: one sent after them times out after theirs
    // would have.
    echo.setUnanswered({v4("127.20.1.3")});
    bool timedOut = false;
    echo.send(v4("127.20.1.3"), QByteArray(32, 'A'),
              [&](const IcmpEcho::Reply &r) { timedOut = r.status == IcmpEcho::TimedOut; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return timedOut; }, 3000));
    EXPECT_EQ(replies.size(), 3u);
}

TEST(IcmpEcho, UnansweredEchoesTimeOutTogether) {
    IcmpEcho echo(150);
    if (echo.kind() == IcmpEcho::Kind::None)
        GTEST_SKIP() << echo.unavailableReason().toStdString();
    QSet<quint32> dead;
    for (int i = 1; i <= 100; ++i)
        dead.insert(v4("127.20.4.0") + static_cast<quint32>(i));
    echo.setUnanswered(dead);
    int ended = 0;
    for (int i = 1; i <= 100; ++i)
        echo.send(v4("127.20.4.0") + static_cast<quint32>(i), QByteArray(32, 'A'),
                  [&](const IcmpEcho::Reply &r) {
                      ++ended;
                      EXPECT_TRUE(r.roundTripMs == 0 && r.status == IcmpEcho::TimedOut);
                  });
    // All wait at once, not one after another.
    EXPECT_EQ(echo.pending(), 100);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended == 100; }, 5000));
    EXPECT_EQ(echo.pending(), 0);
}

TEST(Ping, OutcomesAndTheRecordsField) {
    clsPing::Settings settings;
    settings.timeoutMs = 300;
    clsPing ping(settings, nullptr);
    if (ping.usesQueryRoundTrip())
        GTEST_SKIP() << ping.fallbackNote().toStdString();
    EXPECT_EQ(clsPing::dottedAddress(QStringLiteral("10.0.0.1")), QStringLiteral("10.0.0.1"));
    EXPECT_EQ(clsPing::dottedAddress(QStringLiteral("10.0.0.256")), QString());
    EXPECT_EQ(clsPing::dottedAddress(QStringLiteral("ten.0.0.1")), QString());

    const struct {
        const char *address;
        qint32 outcome;
    } cases[] = {
        {"127.20.2.1", IcmpEcho::Success},
        // A name no resolver takes (a label longer than 63 characters): nothing is asked of any
        // name server outside this machine.
        {"no-such-host.x0123456789012345678901234567890123456789012345678901234567890123.example",
         clsPing::NameNotResolved},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.address);
        std::optional<std::pair<qint32, qint32>> result;
        ping.PingAddress(QString::fromLatin1(c.address), QByteArray(32, 'A'),
                         [&](qint32 outcome, qint32 ms) { result.emplace(outcome, ms); });
        ASSERT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 5000));
        EXPECT_EQ(result->first, c.outcome);
        EXPECT_TRUE(c.outcome == IcmpEcho::Success || result->second == 0);
    }
}

TEST(Ping, QueryRoundTripStandsInWithoutIcmp) {
    // A stand-in status server on loopback: answers the probe after a short delay.
    QUdpSocket server;
    ASSERT_TRUE(server.bind(QHostAddress(QStringLiteral("127.20.3.1")), 0));
    QObject::connect(&server, &QUdpSocket::readyRead, [&] {
        while (server.hasPendingDatagrams()) {
            const QNetworkDatagram d = server.receiveDatagram();
            QTimer::singleShot(30, &server, [&server, d] {
                server.writeDatagram("reply", d.senderAddress(), d.senderPort());
            });
        }
    });
    clsPing ping({.timeoutMs = 300,
                  .prefer = IcmpEcho::Prefer::NoSocket,
                  .probe = "probe",
                  .probePort = server.localPort()},
                 nullptr);
    ASSERT_TRUE(ping.usesQueryRoundTrip());
    EXPECT_FALSE(ping.fallbackNote().isEmpty());

    std::vector<std::pair<qint32, qint32>> results;
    auto record = [&](qint32 outcome, qint32 ms) { results.emplace_back(outcome, ms); };
    ping.PingAddress(QStringLiteral("127.20.3.1"), {}, record);
    ping.PingAddress(QStringLiteral("127.20.3.2"), {}, record); // nobody there
    ASSERT_TRUE(QTest::qWaitFor([&] { return results.size() == 2; }, 3000));
    EXPECT_EQ(results[0].first, IcmpEcho::Success);
    EXPECT_GE(results[0].second, 25);
    EXPECT_EQ(results[1], std::make_pair(qint32(IcmpEcho::TimedOut), qint32(0)));
}
