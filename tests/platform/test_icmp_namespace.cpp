// Echo paths this machine does not offer on its own: the unprivileged echo socket and routes
// that answer "unreachable". Each test makes a network namespace of its own for the calling
// thread, sets it up there only, and goes back to the machine's namespace when it ends.

#include "platform/IcmpEcho.h"
#include "support/OwnNetwork.h"

#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

using platform::IcmpEcho;

namespace {

quint32 v4(const char *text) {
    return QHostAddress(QString::fromLatin1(text)).toIPv4Address();
}

IcmpEcho::Reply echoOnce(IcmpEcho &echo, const char *address) {
    std::optional<IcmpEcho::Reply> reply;
    echo.send(v4(address), QByteArray(32, 'A'), [&](const IcmpEcho::Reply &r) { reply = r; });
    if (!QTest::qWaitFor([&] { return reply.has_value(); }, 5000))
        ADD_FAILURE() << "the echo to " << address << " never ended";
    return reply.value_or(IcmpEcho::Reply{IcmpEcho::GeneralFailure, 0});
}

} // namespace

TEST(IcmpEchoOwnNetwork, EchoSocketWithoutPrivilege) {
    OwnNetwork net;
    if (!net.ready())
        GTEST_SKIP() << net.why();
    {
        // Refused while the group range is empty, which is how this namespace starts.
        QFile range(QStringLiteral("/proc/sys/net/ipv4/ping_group_range"));
        ASSERT_TRUE(range.open(QIODevice::ReadOnly));
        if (range.readAll().simplified() == "1 0") {
            IcmpEcho refused(500, IcmpEcho::Prefer::DatagramOnly);
            EXPECT_EQ(refused.kind(), IcmpEcho::Kind::None);
            EXPECT_TRUE(refused.unavailableReason().contains(u"ping_group_range"));
        }
    }
    ASSERT_TRUE(OwnNetwork::allowEchoSocketsForEveryone());
    IcmpEcho echo(1000, IcmpEcho::Prefer::DatagramOnly);
    ASSERT_EQ(echo.kind(), IcmpEcho::Kind::Datagram) << echo.unavailableReason().toStdString();
    for (const char *address : {"127.0.0.1", "127.0.0.1"}) {
        const IcmpEcho::Reply reply = echoOnce(echo, address);
        EXPECT_EQ(reply.status, IcmpEcho::Success);
        EXPECT_GE(reply.roundTripMs, 0);
    }
    // Auto picks the unprivileged kind first when it is allowed.
    IcmpEcho automatic(1000);
    EXPECT_EQ(automatic.kind(), IcmpEcho::Kind::Datagram);
}

TEST(IcmpEchoOwnNetwork, UnreachableRoutesEndAsUnreachable) {
    OwnNetwork net;
    if (!net.ready())
        GTEST_SKIP() << net.why();
    ASSERT_TRUE(net.ip({"route", "add", "unreachable", "10.99.0.0/16"}));
    ASSERT_TRUE(OwnNetwork::allowEchoSocketsForEveryone());
    for (const auto prefer : {IcmpEcho::Prefer::DatagramOnly, IcmpEcho::Prefer::RawOnly}) {
        IcmpEcho echo(1000, prefer);
        if (echo.kind() == IcmpEcho::Kind::None) {
            ADD_FAILURE() << echo.unavailableReason().toStdString();
            continue;
        }
        SCOPED_TRACE(echo.kind() == IcmpEcho::Kind::Raw ? "raw" : "datagram");
        const IcmpEcho::Reply reply = echoOnce(echo, "10.99.0.1");
        EXPECT_EQ(reply.status, IcmpEcho::DestinationHostUnreachable);
        EXPECT_EQ(reply.roundTripMs, 0);
        EXPECT_EQ(echo.pending(), 0);
        // The socket is still good afterwards.
        EXPECT_EQ(echoOnce(echo, "127.0.0.1").status, IcmpEcho::Success);
    }
}

TEST(IcmpEchoOwnNetwork, RouterAnswersUnreachable) {
    OwnNetwork net;
    if (!net.ready())
        GTEST_SKIP() << net.why();
    // A router in a namespace of its own, one link away, with nowhere to send 10.99.0.0/16.
    QProcess router;
    router.start(QStringLiteral("unshare"),
                 QStringList{QStringLiteral("-n"), QStringLiteral("sh"), QStringLiteral("-c"),
                             QStringLiteral("echo ready; exec sleep 60")});
    ASSERT_TRUE(router.waitForReadyRead(10000)) << "cannot make the router's namespace";
    const auto stopRouter = qScopeGuard([&] {
        router.kill();
        router.waitForFinished(5000);
    });
    const QByteArray pid = QByteArray::number(router.processId());
    ASSERT_TRUE(net.ip(
        {"link", "add", "va", "type", "veth", "peer", "name", "vb", "netns", pid.constData()}));
    ASSERT_TRUE(net.ip({"addr", "add", "10.98.0.1/24", "dev", "va"}));
    ASSERT_TRUE(net.ip({"link", "set", "va", "up"}));
    ASSERT_TRUE(net.ip({"route", "add", "10.99.0.0/16", "via", "10.98.0.2"}));
    QProcess setup;
    setup.start(
        QStringLiteral("nsenter"),
        {QStringLiteral("--net=/proc/") + QString::fromLatin1(pid) + QStringLiteral("/ns/net"),
         QStringLiteral("sh"), QStringLiteral("-ec"),
         QStringLiteral("ip link set lo up; ip addr add 10.98.0.2/24 dev vb; "
                        "ip link set vb up; ip route add unreachable 10.99.0.0/16; "
                        "echo 1 > /proc/sys/net/ipv4/ip_forward")});
    ASSERT_TRUE(setup.waitForFinished(10000) && setup.exitCode() == 0);
    ASSERT_TRUE(OwnNetwork::allowEchoSocketsForEveryone());

    for (const auto prefer : {IcmpEcho::Prefer::RawOnly, IcmpEcho::Prefer::DatagramOnly}) {
        IcmpEcho echo(2000, prefer);
        ASSERT_NE(echo.kind(), IcmpEcho::Kind::None) << echo.unavailableReason().toStdString();
        SCOPED_TRACE(echo.kind() == IcmpEcho::Kind::Raw ? "raw" : "datagram");
        // The router answers for itself as well, then refuses what lies beyond it.
        EXPECT_EQ(echoOnce(echo, "10.98.0.2").status, IcmpEcho::Success);
        const IcmpEcho::Reply reply = echoOnce(echo, "10.99.0.1");
        EXPECT_EQ(reply.status, IcmpEcho::DestinationHostUnreachable);
        EXPECT_EQ(echo.pending(), 0);
    }
}
