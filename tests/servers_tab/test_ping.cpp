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

TEST(IcmpEcho, LoopbackAnswersEveryEchoEndsOnceAndUnansweredOnesTimeOutTogether) {
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

    // A hundred that go unanswered all wait at once, not one after another. They time out after
    // the answered ones would have: those never time out as well.
    QSet<quint32> dead;
    for (int i = 1; i <= 100; ++i)
        dead.insert(v4("127.20.4.0") + static_cast<quint32>(i));
    echo.setUnanswered(dead);
    int ended = 0;
    for (const quint32 address : dead)
        echo.send(address, QByteArray(32, 'A'), [&](const IcmpEcho::Reply &r) {
            ++ended;
            EXPECT_TRUE(r.roundTripMs == 0 && r.status == IcmpEcho::TimedOut);
        });
    EXPECT_EQ(echo.pending(), 100);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended == 100; }, 5000));
    EXPECT_EQ(echo.pending(), 0);
    EXPECT_EQ(replies.size(), 3u);
}

TEST(Ping, DottedAddressesAndANameThatDoesNotResolve) {
    EXPECT_EQ(clsPing::dottedAddress(QStringLiteral("10.0.0.1")), QStringLiteral("10.0.0.1"));
    EXPECT_EQ(clsPing::dottedAddress(QStringLiteral("10.0.0.256")), QString());
    EXPECT_EQ(clsPing::dottedAddress(QStringLiteral("ten.0.0.1")), QString());

    clsPing::Settings settings;
    settings.timeoutMs = 300;
    clsPing ping(settings, nullptr);
    if (ping.usesQueryRoundTrip())
        GTEST_SKIP() << ping.fallbackNote().toStdString();
    // A name no resolver takes (a label longer than 63 characters): nothing is asked of any name
    // server outside this machine.
    std::optional<std::pair<qint32, qint32>> result;
    ping.PingAddress(QStringLiteral("no-such-host.x012345678901234567890123456789012345678901234"
                                    "5678901234567890123.example"),
                     QByteArray(32, 'A'), [&](qint32 o, qint32 ms) { result.emplace(o, ms); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 5000));
    EXPECT_EQ(*result, std::make_pair(qint32(clsPing::NameNotResolved), qint32(0)));
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
