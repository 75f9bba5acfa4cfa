// Which broadcast addresses a search of the local network goes to.
// The search itself runs only inside network namespaces the tests make.

#include "servers/LanServerFinder.h"

#include <QHostAddress>

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

using Interface = LanServerFinder::Interface;

Interface::Entry entry(const char *ip, const char *broadcast, int prefixLength) {
    return {QHostAddress(QString::fromLatin1(ip)), QHostAddress(QString::fromLatin1(broadcast)),
            prefixLength};
}

Interface lan(const char *name, QList<Interface::Entry> entries) {
    return {.name = QString::fromLatin1(name),
            .up = true,
            .canBroadcast = true,
            .loopback = false,
            .entries = std::move(entries)};
}

QStringList words(std::initializer_list<const char *> texts) {
    QStringList list;
    for (const char *text : texts)
        list << QString::fromLatin1(text);
    return list;
}

QStringList chosen(const QList<Interface> &interfaces) {
    QStringList texts;
    for (const QHostAddress &a : LanServerFinder::broadcastAddresses(interfaces))
        texts << a.toString();
    return texts;
}

} // namespace

TEST(LanServerFinder, BroadcastsWhereAnInterfaceIsUpAndCanOnceToEachAddressWorkedOutWhenMissing) {
    Interface loopback = lan("lo", {entry("127.0.0.1", "", 8)});
    loopback.loopback = true;
    loopback.canBroadcast = false;
    Interface down = lan("eth1", {entry("10.1.0.5", "10.1.0.255", 24)});
    down.up = false;
    // A point-to-point VPN carries no broadcasts.
    Interface tunnel = lan("tun0", {entry("10.8.0.6", "", 32)});
    tunnel.canBroadcast = false;
    const Interface wired =
        lan("eth0", {entry("fe80::1", "", 64), entry("192.168.1.20", "192.168.1.255", 24)});
    const Interface vpn = lan("tap0", {entry("10.44.0.7", "10.44.255.255", 16)});
    EXPECT_EQ(chosen({loopback, down, tunnel, wired, vpn}),
              words({"192.168.1.255", "10.44.255.255"}));
    EXPECT_TRUE(chosen({loopback, down, tunnel}).isEmpty());

    const QList<Interface> interfaces = {
        // No broadcast given: the top of the subnet, as the system itself takes it.
        lan("eth0", {entry("10.1.2.3", "", 16), entry("172.20.5.9", "0.0.0.0", 22)}),
        // Subnets of one or two addresses have none; the limited broadcast is no interface's.
        lan("eth1", {entry("10.9.9.9", "", 31), entry("10.9.9.10", "", 32),
                     entry("10.7.0.1", "", -1), entry("10.6.0.1", "255.255.255.255", 24)}),
        // The same network on a second interface (or twice on one) is asked once.
        lan("eth2", {entry("10.1.200.1", "10.1.255.255", 16)}),
        lan("br0", {entry("10.1.3.3", "10.1.255.255", 16)})};
    EXPECT_EQ(chosen(interfaces), words({"10.1.255.255", "172.20.7.255"}));
}
