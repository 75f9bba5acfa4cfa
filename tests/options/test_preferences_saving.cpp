#include "support/CoreApp.h"

#include "options/PreferencesSaver.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString prefsName = QStringLiteral("GRQuorvelOptions.xml");

// The program's objects with the preferences kept saved as start-up keeps them, 20 ms after a
// change. Holds a server, a channel and a name from before (not yet written).
struct Saving : CoreApp {
    Saving()
        : CoreApp(noFiles, Timing{.saveDelayMs = 20}) {
        load(); // no file: every value takes its default
        add(QStringLiteral("10.0.0.1"), QStringLiteral("Old name"));
        channels().AddServer(QStringLiteral("voice.example:3782"), QStringLiteral("Clan"), {});
        options().AddPlayerName(QStringLiteral("Sniper"));
        root->keepPreferencesSaved();
    }
    PreferencesSaver &saver() const { return *root->preferencesSaver(); }
    QByteArray file() const { return dir.read(prefsName); }
    // True once the file holds `part`.
    bool fileComesTo(const QByteArray &part) const {
        return QTest::qWaitFor([&] { return file().contains(part); }, 5000);
    }
};

} // namespace

TEST(PreferencesSaving, EveryKindOfChangeIsWrittenSoonAfter) {
    const struct {
        const char *what;
        std::function<void(Saving &)> change;
        const char *part;
    } cases[] = {
        {"server added", [](Saving &f) { f.add(QStringLiteral("10.0.0.2")); }, R"(IP="10.0.0.2")"},
        {"server removed", [](Saving &f) { f.servers().RemoveServer(QStringLiteral("10.0.0.1")); },
         R"(GRServers/>)"},
        {"server renamed",
         [](Saving &f) { f.servers().Item(1)->setName(QStringLiteral("New name")); },
         R"(Name="New name")"},
        {"server password",
         [](Saving &f) { f.servers().Item(1)->setPassword(QStringLiteral("pw")); },
         R"(Password="pw")"},
        {"channel added",
         [](Saving &f) {
             f.channels().AddServer(QStringLiteral("other:1"), QStringLiteral("B"), {});
         },
         R"(IP="other:1")"},
        {"channel removed",
         [](Saving &f) { f.channels().RemoveServer(QStringLiteral("VOICE.example:3782")); },
         R"(RWServers/>)"},
        {"channel edited",
         [](Saving &f) {
             clsRWServer *c = f.channels().Item(1);
             c->setIP(QStringLiteral("moved:3782"));
             c->setPassword(QStringLiteral("cpw"));
         },
         R"(IP="moved:3782" Name="Clan" Password="cpw")"},
        {"name added", [](Saving &f) { f.options().AddPlayerName(QStringLiteral("Kilo")); },
         R"(Name="Kilo")"},
        {"name removed", [](Saving &f) { f.options().RemovePlayerName(QStringLiteral("SNIPER")); },
         R"(PlayerNames/>)"},
        {"switches",
         [](Saving &f) {
             f.options().setRecordStats(false);
             f.options().setShowTips(false);
             f.options().setPingGRServersOnStartup(false);
         },
         "<RecordStats>False</RecordStats><PingOnStart>False</PingOnStart><ShowTips>False"},
        {"texts",
         [](Saving &f) {
             f.options().setStatsPath(QStringLiteral("/stats"));
             f.options().setUserName(QStringLiteral("me"));
             f.options().setUserEmail(QStringLiteral("me@example.net"));
         },
         "<LastStatsDirectory>/stats</LastStatsDirectory><UserName>me</UserName><UserEmail>me@"},
        {"tip and path",
         [](Saving &f) {
             f.options().setLastTip(4);
             f.options().setRogerWilcoEXE(QStringLiteral("/rw/Roger.exe"));
         },
         "<LastTip>4</LastTip><RogerWilcoEXE>/rw/Roger.exe</RogerWilcoEXE>"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Saving f;
        c.change(f);
        ASSERT_TRUE(f.fileComesTo(c.part)) << f.file().constData();
        // Everything is written, what was there before the change with it.
        EXPECT_EQ(f.file(), f.options().serialise());
    }
}

TEST(PreferencesSaving, ABurstIsOneWriteAndSettingAValueAgainIsNoChange) {
    Saving f;
    // Values as they stand, a server already present, a name already present (other letters).
    f.options().setShowTips(f.options().ShowTips());
    f.options().setUserName(f.options().UserName());
    f.add(QStringLiteral("10.0.0.1"));
    f.options().AddPlayerName(QStringLiteral("SNIPER"));
    f.servers().Item(1)->setName(QStringLiteral("Old name"));
    f.channels().RemoveServer(QStringLiteral("no such channel"));
    EXPECT_FALSE(f.saver().isPending());
    EXPECT_FALSE(QFileInfo::exists(f.preferencesPath())) << "written with nothing changed";

    QSignalSpy written(&f.saver(), &PreferencesSaver::written);
    for (int i = 0; i < 300; ++i)
        f.add(QStringLiteral("10.1.%1.%2").arg(i / 200).arg(i % 200 + 1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.saver().isPending(); }, 5000));
    ASSERT_EQ(written.size(), 1);
    EXPECT_EQ(written.at(0).at(0).toString(), QString());
    EXPECT_TRUE(f.file().contains(R"(IP="10.1.1.100")"));
}

TEST(PreferencesSaving, AFailingWriteKeepsTheFileTellsOnceAndIsTriedAgainAtTheNextChange) {
    Saving f;
    const QByteArray old = "<options><UserName>old</UserName></options>";
    f.writePreferences(old);
    QSignalSpy written(&f.saver(), &PreferencesSaver::written);
    const QString shown = QDir::toNativeSeparators(f.preferencesPath());
    f.dir.whileReadOnly([&] {
        // Retry while the directory is still read-only fails again and asks again.
        f.prompter.expect(titles::error, Answer::Retry, shown)
            .expect(titles::error, Answer::Cancel, shown);
        f.options().setUserName(QStringLiteral("first"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return written.size() == 2; }, 5000));
        // Told once: the next failure is silent (an unexpected box would fail the test).
        f.options().setUserName(QStringLiteral("second"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return written.size() == 3; }, 5000));
        EXPECT_FALSE(written.at(2).at(0).toString().isEmpty());
    });
    ASSERT_EQ(f.prompter.shown().size(), 2u);
    EXPECT_TRUE(f.prompter.shown()[0].is(Buttons::RetryCancel, Icon::Critical));
    EXPECT_EQ(f.file(), old);
    EXPECT_EQ(QDir(f.dir.root()).entryList(QDir::Files | QDir::Hidden).size(), 2)
        << "a temporary file was left behind";

    f.options().setUserName(QStringLiteral("third"));
    ASSERT_TRUE(f.fileComesTo("<UserName>third</UserName>"));
    // Failing again after a success is told again.
    f.dir.whileReadOnly([&] {
        f.prompter.expect(titles::error, Answer::Cancel, shown);
        f.options().setUserName(QStringLiteral("fourth"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return f.prompter.shown().size() == 3; }, 5000));
    });
}

TEST(PreferencesSaving, TheWriteAtShutdownComesLastAndNothingIsWrittenAfterIt) {
    Saving f;
    f.options().setUserName(QStringLiteral("during the run"));
    // Shutdown stops the saver before its own write: a write scheduled or under way never
    // lands after it.
    f.saver().stop();
    f.options().setUserName(QStringLiteral("at shutdown"));
    f.options().Save(f.preferencesPath());
    f.options().setUserName(QStringLiteral("after shutdown"));
    EXPECT_FALSE(f.saver().isPending());
    EXPECT_TRUE(f.file().contains("<UserName>at shutdown</UserName>"));
}
