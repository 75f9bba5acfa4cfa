#include "servers/GRQueryProtocol.h"
#include "support/CoreApp.h"
#include "watch/BuddyPattern.h"
#include "watch/WatchEngine.h"
#include "watch/WatchStore.h"

#include <QDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The application's watches on a throw-away game directory, their database file beside the
// preferences. `prepare` acts on the directory first.
struct Watching {
    explicit Watching(int notifyEveryMs = 0,
                      const std::function<void(const GameDir &)> &prepare = {})
        : timing{.notifyEveryMs = notifyEveryMs} {
        if (prepare)
            prepare(app.dir);
        start();
    }
    void start() {
        app.root->createWatches();
        engine = app.root->Watches();
        QObject::connect(engine, &WatchEngine::notificationReady,
                         [this](const QString &address, const QString &body) {
                             addresses << address;
                             bodies << body;
                         });
    }
    // Everything kept, as the next run of the program finds it (with its servers listed again).
    void restart() {
        QStringList ips;
        for (const clsGRServer &s : app.servers())
            ips << s.IP();
        StartupEnvironment env;
        env.executableDirectory = QStringLiteral("/nonexistent");
        env.gameDirectory = app.dir.root();
        app.root.reset();
        app.root = std::make_unique<clsGRQuorvel>(env, app.prompter, app.launcher, timing);
        app.root->createObjects();
        for (const QString &ip : ips)
            app.add(ip);
        start();
    }
    // The server answers: `players` of `seats`, named as given (made up when not).
    void answer(const QString &ip, int players, int seats, QStringList names = {}) {
        grquery::ServerStatus status;
        status.name = QStringLiteral("Night Ops");
        status.maxPlayers = seats;
        for (int i = names.size(); i < players; ++i)
            names << QStringLiteral("P%1").arg(i + 1);
        status.players = names;
        status.gameStateCode = 4;
        clsGRServer *record = app.servers().Item(ip);
        ASSERT_NE(record, nullptr);
        ASSERT_TRUE(record->DataArrival(grquery::encodeReply(status)));
        engine->queryEnded(ip, true);
    }
    void silent(const QString &ip) { engine->queryEnded(ip, false); }
    // What the notifications since the last look said, the server line left out.
    QString events() {
        QStringList said;
        for (const QString &body : std::as_const(bodies))
            said << body.section(u'\n', 1);
        bodies.clear();
        return said.join(u'|');
    }

    Timing timing;
    CoreApp app{CoreApp::noFiles, timing};
    WatchEngine *engine = nullptr;
    QStringList addresses;
    QStringList bodies;
};

const QString ip = QStringLiteral("127.30.0.1");

} // namespace

TEST(Watches, EachConditionFiresOnceAndRearmsAfterAWholeQueryWithoutIt) {
    // Each step: "-" a query without an answer, else "players/slots"; then what it tells.
    const struct {
        const char *what;
        ServerWatch watch;
        std::vector<std::pair<const char *, const char *>> steps;
    } cases[] = {
        {"answers again",
         {.answersAgain = true},
         {{"1/8", ""},
          {"-", ""},
          {"1/8", "answers again"},
          {"2/8", ""},
          {"-", ""},
          {"-", ""},
          {"2/8", "answers again"}}},
        {"players reach 3",
         {.playersReach = true, .players = 3},
         {{"4/8", ""}, // already there when first seen: nothing turned true
          {"2/8", ""},
          {"3/8", "3/8 players"},
          {"5/8", ""},
          {"-", ""}, // a lost answer says nothing about the players
          {"6/8", ""},
          {"2/8", ""},
          {"3/8", "3/8 players"}}},
        {"a slot frees up",
         {.slotFrees = true},
         {{"7/8", ""},
          {"8/8", ""},
          {"7/8", "a slot is free (7/8 players)"},
          {"6/8", ""},
          {"8/8", ""},
          {"-", ""},
          {"8/8", ""},
          {"7/8", "a slot is free (7/8 players)"}}},
        {"everything at once",
         {.answersAgain = true, .playersReach = true, .players = 2, .slotFrees = true},
         {{"2/2", ""}, {"-", ""}, {"1/2", "answers again\na slot is free (1/2 players)"}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Watching w;
        w.app.add(ip);
        ServerWatch watch = c.watch;
        watch.address = ip;
        w.engine->setWatch(watch);
        int step = 0;
        for (const auto &[seen, told] : c.steps) {
            SCOPED_TRACE(step++);
            const QString s = QString::fromLatin1(seen);
            if (s == u"-")
                w.silent(ip);
            else
                w.answer(ip, s.section(u'/', 0, 0).toInt(), s.section(u'/', 1).toInt());
            EXPECT_EQ(w.events(), QString::fromLatin1(told));
        }
    }
}

TEST(Watches, BuddyPatternsTakeWildcardsAndIgnoreLetterCase) {
    const struct {
        const char *pattern;
        const char *name;
        bool matches;
    } cases[] = {
        {"Sniper", "sniper", true},
        {"Sniper", "Sniper2", false},
        {"sn*", "SNIPER", true},
        {"*per", "Sniper", true},
        {"s?iper", "Sniper", true},
        {"s?per", "Sniper", false},
        {"*", "", true},
        {"?", "", false},
        {"a*b*c", "aXbYc", true},
        {"a*b*c", "aXbYcd", false},
        {"**a**", "a", true},
        {"[x]", "x", false},
        {"[x]", "[X]", true},
        {"\u00dcnal", "\u00fcNAL", true},
        {"*a*a*a*a*a*a*a*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(buddyMatches(QString::fromUtf8(c.pattern), QString::fromUtf8(c.name)), c.matches)
            << c.pattern << " / " << c.name;

    Watching w;
    w.app.add(ip);
    EXPECT_TRUE(w.engine->addBuddy(QStringLiteral(" snip* ")));
    EXPECT_TRUE(w.engine->addBuddy(QStringLiteral("?OOK")));
    EXPECT_FALSE(w.engine->addBuddy(QStringLiteral("SNIP*")));
    EXPECT_FALSE(w.engine->addBuddy(QStringLiteral("  ")));
    EXPECT_EQ(w.engine->buddies(), (QStringList{QStringLiteral("snip*"), QStringLiteral("?OOK")}));

    const auto answer = [&](const char *names) {
        const QStringList list = QString::fromLatin1(names).split(u' ', Qt::SkipEmptyParts);
        w.answer(ip, list.size(), 8, list);
        return w.events();
    };
    // The server's first answer finds them there; after it, each buddy not in the previous
    // answer joined.
    EXPECT_EQ(answer("Sniper Bob rook"), QStringLiteral("Sniper is playing\nrook is playing"));
    EXPECT_EQ(answer("rook Sniper"), QString());
    EXPECT_EQ(answer("Bob"), QString());
    w.silent(ip); // a lost answer does not make the buddies leave
    EXPECT_EQ(answer("Bob SNIPER_2"), QStringLiteral("SNIPER_2 joined"));
    w.silent(ip);
    EXPECT_EQ(answer("Bob SNIPER_2"), QString());
    w.engine->removeBuddy(QStringLiteral("SNIP*"));
    EXPECT_EQ(answer("Sniper"), QString());
}

TEST(Watches, OneNotificationPerServerAMinuteCarriesEverythingOfThatMinute) {
    Watching w(300); // the minute, shortened
    const QString other = QStringLiteral("127.30.0.2");
    w.app.add(ip);
    w.app.add(other, QStringLiteral("Mine"));
    for (const QString &a : {ip, other})
        w.engine->setWatch({.address = a, .answersAgain = true, .playersReach = true});
    w.engine->addBuddy(QStringLiteral("Sniper"));

    w.answer(ip, 1, 8);
    w.answer(ip, 2, 8);
    EXPECT_EQ(w.bodies, QStringList{QStringLiteral("Night Ops (127.30.0.1)\n2/8 players")});
    w.silent(ip);
    w.answer(ip, 2, 8, {QStringLiteral("Sniper")});
    w.silent(ip);
    w.answer(ip, 1, 8, {QStringLiteral("Sniper")});
    w.answer(ip, 3, 8, {QStringLiteral("Sniper")});
    // Another server has a minute of its own.
    w.answer(other, 0, 8);
    w.silent(other);
    w.answer(other, 0, 8);
    ASSERT_EQ(w.bodies.size(), 2);
    EXPECT_EQ(w.bodies[1], QStringLiteral("Night Ops (127.30.0.2)\nanswers again"));
    // The rest of the first server's minute comes as one, once the minute is over.
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.bodies.size() == 3; }, 3000));
    EXPECT_EQ(w.bodies.value(2),
              QStringLiteral("Night Ops (127.30.0.1)\nanswers again\nSniper joined\n3/8 players"));
    EXPECT_TRUE(w.engine->toolTip(ip).contains(QStringLiteral(": 3/8 players")))
        << w.engine->toolTip(ip).toStdString();
    // Nothing of that minute is told twice: what happens next waits a minute and comes alone.
    w.silent(ip);
    w.answer(ip, 3, 8, {QStringLiteral("Sniper")});
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.bodies.size() == 4; }, 3000));
    EXPECT_EQ(w.bodies.value(3), QStringLiteral("Night Ops (127.30.0.1)\nanswers again"));
}

// A buddy the program finds on a server (at its first answer of the run, or by a pattern just
// added) is playing there; "joined" is for those who come after. At start-up, until every
// server was asked once, what is found makes one notification.
TEST(Watches, BuddiesFoundOnAServerArePlayingAndStartUpSumsThemUpOnce) {
    Watching w;
    const QString second = QStringLiteral("127.30.0.2"), third = QStringLiteral("127.30.0.3");
    w.app.add(ip);
    w.app.add(second);
    w.app.add(third);
    w.engine->addBuddy(QStringLiteral("Kilo*"));
    w.engine->addBuddy(QStringLiteral("Sniper"));
    const auto names = [](const char *list) {
        return QString::fromLatin1(list).split(u' ', Qt::SkipEmptyParts);
    };
    const auto answer = [&](const QString &at, const char *list) {
        w.answer(at, static_cast<int>(names(list).size()), 8, names(list));
    };

    answer(ip, "Kilo11 Bob");
    answer(second, "Sniper Kilo7");
    EXPECT_TRUE(w.bodies.isEmpty()) << "told before every server was asked";
    w.silent(third);
    EXPECT_EQ(w.bodies, QStringList{QStringLiteral("Buddies playing\n"
                                                   "Kilo11 on Night Ops (127.30.0.1)\n"
                                                   "Sniper, Kilo7 on Night Ops (127.30.0.2)")});
    EXPECT_EQ(w.addresses, QStringList{QString()}) << "several servers: none to join";
    EXPECT_TRUE(w.engine->toolTip(second).endsWith(u": Sniper is playing, Kilo7 is playing"))
        << w.engine->toolTip(second).toStdString();
    w.events();

    // The same players again tell nothing; a newcomer joined.
    answer(ip, "Kilo11 Bob Kilo3");
    answer(second, "Sniper Kilo7");
    EXPECT_EQ(w.events(), QStringLiteral("Kilo3 joined"));
    // A new pattern tells of whom it finds now, once; a pattern finding only buddies already
    // told of tells nothing.
    w.engine->addBuddy(QStringLiteral("bob"));
    w.engine->addBuddy(QStringLiteral("Kilo1?"));
    EXPECT_EQ(w.events(), QStringLiteral("Bob is playing"));
    EXPECT_EQ(w.addresses.back(), ip);
    answer(ip, "Kilo11 Bob Kilo3");
    EXPECT_EQ(w.events(), QString());
    // A server silent at start-up, and one added later: found there at their first answer.
    answer(third, "Sniper");
    const QString fourth = QStringLiteral("127.30.0.4");
    w.app.add(fourth);
    answer(fourth, "Kilo9");
    EXPECT_EQ(w.events(), QStringLiteral("Sniper is playing|Kilo9 is playing"));
    w.silent(fourth);
    answer(fourth, "Anna");
    answer(fourth, "Anna Kilo9");
    EXPECT_EQ(w.events(), QStringLiteral("Kilo9 joined"));
}

TEST(Watches, WatchesAndBuddiesSurviveARestartAndLeaveWithTheirServer) {
    Watching w;
    const QString other = QStringLiteral("127.30.0.2");
    w.app.add(ip);
    w.app.add(other);
    const ServerWatch first{.address = ip, .playersReach = true, .players = 6, .slotFrees = true};
    const ServerWatch second{.address = other, .answersAgain = true};
    w.engine->setWatch(first);
    w.engine->setWatch(second);
    w.engine->addBuddy(QStringLiteral("Sniper"));
    w.engine->addBuddy(QStringLiteral("ro?k"));

    w.restart();
    EXPECT_EQ(w.engine->watchOf(QStringLiteral("127.30.0.1")), first);
    EXPECT_EQ(w.engine->watchOf(other), second);
    EXPECT_EQ(w.engine->buddies(), (QStringList{QStringLiteral("Sniper"), QStringLiteral("ro?k")}));

    w.app.servers().RemoveServer(ip);
    w.engine->setWatch({.address = other}); // asking nothing is no watch
    EXPECT_FALSE(w.engine->watchOf(ip));
    w.restart();
    EXPECT_FALSE(w.engine->watchOf(ip));
    EXPECT_FALSE(w.engine->watchOf(other));
    EXPECT_EQ(w.engine->buddies().size(), 2);
    // The preferences file knows nothing of them.
    w.app.options().Save(w.app.preferencesPath());
    EXPECT_FALSE(w.app.dir.read(QStringLiteral("GRQuorvelOptions.xml")).contains("ro?k"));
}

TEST(Watches, WithoutTheirDatabaseWatchesAreOffAndNothingFails) {
    const QString name = QStringLiteral("GRQuorvelHistory.sqlite");
    const std::function<void(const GameDir &)> spoilt[] = {
        [&](const GameDir &dir) { QDir(dir.root()).mkdir(name); },
        [&](const GameDir &dir) { dir.write(name, QByteArray(4096, 'x')); },
    };
    for (const auto &spoil : spoilt) {
        Watching w(0, spoil);
        w.app.add(ip);
        EXPECT_FALSE(w.engine->isAvailable());
        w.engine->setWatch({.address = ip, .answersAgain = true});
        EXPECT_FALSE(w.engine->addBuddy(QStringLiteral("Sniper")));
        w.silent(ip);
        w.answer(ip, 1, 8);
        EXPECT_FALSE(w.engine->isWatched(ip));
        EXPECT_TRUE(w.bodies.isEmpty());
        EXPECT_TRUE(w.app.prompter.shown().empty());
    }
    // A file that is no database is left as it was.
    Watching w(0, spoilt[1]);
    EXPECT_EQ(w.app.dir.read(name), QByteArray(4096, 'x'));
}
