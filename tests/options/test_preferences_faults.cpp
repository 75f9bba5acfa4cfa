#include "support/CoreApp.h"

#include "app/basGlobals.h"
#include "app/basMain.h"
#include "app/frmMain.h"
#include "gameopts/clsOptionsXML.h"
#include "support/Errors.h"
#include "support/ProgramRun.h"
#include "support/Scoped.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include <pugixml.hpp>

#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

namespace {

const QString prefsName = QStringLiteral("GRQuorvelOptions.xml");

bool parses(const QByteArray &xml) {
    pugi::xml_document doc;
    return static_cast<bool>(doc.load_buffer(xml.constData(), static_cast<size_t>(xml.size())));
}

QByteArray savedWithUserName(const QString &name) {
    CoreApp f(CoreApp::noFiles);
    f.options().setUserName(name);
    f.options().Save(f.preferencesPath());
    return f.dir.read(prefsName);
}

const QString bigA = QString(200000, u'a');
const QString bigB = QString(200000, u'b');

} // namespace

// Not run on its own: the child process of the test below, saving until it is killed.
TEST(PreferencesFaults, DISABLED_SaveLoopChild) {
    const QString target = qEnvironmentVariable("QUORVEL_SAVE_LOOP_FILE");
    ASSERT_FALSE(target.isEmpty());
    CoreApp f(CoreApp::noFiles);
    for (int i = 0;; ++i) {
        f.options().setUserName(i % 2 ? bigB : bigA);
        f.options().Save(target);
    }
}

TEST(PreferencesFaults, AKillWhileSavingLeavesTheOldOrTheNewFileWhole) {
    const QByteArray a = savedWithUserName(bigA);
    const QByteArray b = savedWithUserName(bigB);
    GameDir dir({.game = false, .optionsXml = false, .preferences = false});
    // Children inherit this process's environment, its offscreen platform included.
    const QString target = dir.path(prefsName);
    const ScopedEnv loopFile("QUORVEL_SAVE_LOOP_FILE", target.toLocal8Bit());
    SeededRandom random;

    int kills = 0;
    for (int round = 0; round < 12; ++round) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_also_run_disabled_tests"),
                     QStringLiteral("--gtest_filter=PreferencesFaults.DISABLED_SaveLoopChild")});
        ASSERT_TRUE(child.waitForStarted());
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(target); }, 10000))
            << "the child never saved";
        QTest::qWait(random.bounded(1, 40)); // somewhere inside one of the next saves
        if (child.state() == QProcess::Running) {
            ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
            ++kills;
        }
        child.waitForFinished();
        const QByteArray now = dir.read(prefsName);
        ASSERT_TRUE(now == a || now == b)
            << "round " << round << ": a broken file of " << now.size() << " bytes";
    }
    EXPECT_GT(kills, 0);
}

TEST(PreferencesFaults, ABrokenFileLoadsTheDefaultsAndIsReplacedWholeAtShutdown) {
    const QByteArray good = savedWithUserName(QStringLiteral("Ghost"));
    QByteArray random(4096, '\0');
    QRandomGenerator gen(4711);
    for (char &c : random)
        c = static_cast<char>(gen.bounded(256));
    for (const QByteArray &broken : {good.left(good.size() / 2), random}) {
        GameDir dir({.optionsXml = false, .preferences = false});
        dir.write(prefsName, broken);
        ScriptedPrompter prompter;
        bool recordStats = false;
        EXPECT_EQ(
            runProgramOn(dir, prompter,
                         [&](frmMain &) { recordStats = gobjRoot->Options()->RecordStats(); }),
            0);
        EXPECT_TRUE(recordStats);
        const QByteArray after = dir.read(prefsName);
        EXPECT_TRUE(parses(after) && after.contains("<RecordStats>True</RecordStats>") &&
                    after.contains("<Version>1.01</Version>"));
    }
}

// Files the program did not write itself: nested 200,000 deep, or in the Windows code page.
TEST(PreferencesFaults, DeepOrNonUtf8FilesLoadAndTheProgramStarts) {
    const auto deep = [](const char *text) {
        return QByteArray("<a>").repeated(200000) + text + QByteArray("</a>").repeated(200000);
    };
    const struct {
        QByteArray preferences, game;
        QString userName, serverName, playerName;
    } cases[] = {
        {"<options><UserName>" + deep("Deep") +
             "</UserName><GRServers><Server IP='127.30.5.1' Name='Kept'/></GRServers></options>",
         "<Options><PlayerName>" + deep("Rook") + "</PlayerName><ShowDeadBodies>TRUE" +
             "</ShowDeadBodies><Multiplayer><IPAddress>" + deep("127.30.5.2") +
             "</IPAddress></Multiplayer></Options>",
         QStringLiteral("Deep"), QStringLiteral("Kept"), QStringLiteral("Rook")},
        {"<options><UserName>J\xF6rg</UserName><GRServers><Server IP='127.30.5.1' "
         "Name='Caf\xE9 \x80'/></GRServers><PlayerNames><PlayerName Name='\xC9lan'/>"
         "</PlayerNames></options>",
         "<Options><PlayerName>J\xF6rg</PlayerName><Multiplayer><IPAddress>127.30.5.2"
         "</IPAddress></Multiplayer></Options>",
         QStringLiteral("J\u00F6rg"), QStringLiteral("Caf\u00E9 \u20AC"),
         QStringLiteral("J\u00F6rg")},
        {"<?xml version='1.0' encoding='windows-1252'?><options><UserName>\x80 1</UserName>"
         "<GRServers><Server IP='127.30.5.1' Name='\x9Cuvre'/></GRServers></options>",
         "<Options><PlayerName>R\xE9n\xE9</PlayerName><Multiplayer><IPAddress>127.30.5.2"
         "</IPAddress></Multiplayer></Options>",
         QStringLiteral("\u20AC 1"), QStringLiteral("\u0153uvre"),
         QStringLiteral("R\u00E9n\u00E9")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.userName.toStdString());
        GameDir dir({.optionsXml = false, .preferences = false});
        dir.write(prefsName, QByteArray(c.preferences)
                                 .replace("<options>", "<options><ShowTips>False</ShowTips>"
                                                       "<PingOnStart>False</PingOnStart>"));
        dir.write(QStringLiteral("options.xml"), c.game);
        ScriptedPrompter prompter;
        QStringList seen;
        EXPECT_EQ(runProgramOn(dir, prompter,
                               [&](frmMain &) {
                                   clsGRQuorvel &root = *gobjRoot;
                                   root.OptionsXML()->Load();
                                   seen << root.Options()->UserName()
                                        << root.GRServers()->Item(1)->Name()
                                        << root.GRServers()->Item(2)->IP()
                                        << root.OptionsXML()->PlayerName();
                               }),
                  0);
        EXPECT_EQ(seen, (QStringList{c.userName, c.serverName, QStringLiteral("127.30.5.2"),
                                     c.playerName}));
        const QByteArray saved = dir.read(prefsName);
        EXPECT_TRUE(saved.contains("<UserName>" + c.userName.toUtf8() + "</UserName>"))
            << saved.left(300).constData();
        EXPECT_FALSE(saved.contains("\xEF\xBF\xBD"));
    }
}

TEST(PreferencesFaults, TerminationSignalsRunTheNormalShutdownWithItsSave) {
    for (const int sig : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(sig);
        GameDir dir({.optionsXml = false, .preferences = false});
        dir.write(prefsName, "<options><UserName>Before</UserName><ShowTips>False</ShowTips>"
                             "<PingOnStart>True</PingOnStart><GRServers><Server IP='127.30.3.1' "
                             "Name='Kept'/></GRServers></options>");
        QProcess program;
        program.start(QStringLiteral(QUORVEL_BINARY_DIR "/grquorvel"),
                      {QStringLiteral("--game-dir"), dir.root(), QStringLiteral("-noStartupPing")});
        ASSERT_TRUE(program.waitForStarted());
        // The statistics directory appears once the handlers are in place.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return QFileInfo::exists(dir.path(QStringLiteral("Stats"))); }, 10000));
        ::kill(static_cast<pid_t>(program.processId()), sig);
        ASSERT_TRUE(program.waitForFinished(10000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
        const QByteArray after = dir.read(prefsName);
        EXPECT_TRUE(after.contains("<Version>1.01</Version>")) << after.constData();
        EXPECT_TRUE(after.contains("<UserName>Before</UserName>"));
        EXPECT_TRUE(after.contains("<PingOnStart>False</PingOnStart>"));
        EXPECT_TRUE(after.contains("IP=\"127.30.3.1\" Name=\"Kept\""));
    }
}
