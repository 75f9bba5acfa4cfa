#include "voice/clsRWServers.h"

#include <gtest/gtest.h>

TEST(RWServers, KeysIgnoreCaseAndStayWithTheTextAddedUnder) {
    clsRWServers channels;
    EXPECT_EQ(channels.AddServer(QString(), QStringLiteral("n"), QStringLiteral("p")), nullptr);

    clsRWServer *abc =
        channels.AddServer(QStringLiteral("ABC"), QStringLiteral("Clan"), QStringLiteral("pw"));
    ASSERT_NE(abc, nullptr);
    EXPECT_EQ(channels.AddServer(QStringLiteral("abc"), QStringLiteral("other"), QString()), abc);
    EXPECT_EQ(abc->Name(), QStringLiteral("Clan"));
    EXPECT_EQ(channels.Count(), 1);

    // Changing the channel text does not move its key.
    abc->setIP(QStringLiteral("b"));
    EXPECT_EQ(channels.Item(QStringLiteral("abc")), abc);
    EXPECT_EQ(channels.Item(QStringLiteral("b")), nullptr);
    clsRWServer *b = channels.AddServer(QStringLiteral("b"), QString(), QString());
    EXPECT_TRUE(b && b != abc);
    EXPECT_EQ(channels.Count(), 2);

    channels.RemoveServer(QStringLiteral("aBc"));
    EXPECT_EQ(channels.Count(), 1);
    EXPECT_EQ(channels.Item(1), b);
}
