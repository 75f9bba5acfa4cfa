#include "app/basGlobals.h"
#include "app/basMain.h"
#include "app/clsGRQuorvel.h"
#include "app/frmMain.h"
#include "platform/ProcessLauncher.h"
#include "support/GameDir.h"
#include "support/ProgramRun.h"
#include "support/ScriptedPrompter.h"
#include "support/Widgets.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

TEST(Startup, MissingGameEndsAtOnceWithTheMessageAndWritesNothing) {
    GameDir dir({.game = false, .optionsXml = true});
    const QStringList before = QDir(dir.root()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
    ScriptedPrompter prompter;
    prompter.expect(QStringLiteral("Ghost Recon Not Found"), Answer::Ok,
                    QStringLiteral("Please place the 'GRQuorvel.exe' in your Ghost Recon "
                                   "Directory and run it from there"));
    StartupEnvironment env;
    env.gameDirectory = dir.root();
    platform::DetachedProcessLauncher launcher;
    // The directory was named on the command line: a mistake of usage.
    EXPECT_EQ(runProgram(env, prompter, launcher), 2);
    EXPECT_EQ(prompter.shown().at(0).icon, Icon::Critical);
    EXPECT_EQ(QDir(dir.root()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), before);
    EXPECT_EQ(gobjRoot, nullptr);
}

TEST(Startup, StatsDirectoryIsCreatedOrLeftAlone) {
    const QString stats = QStringLiteral("Stats"), copy = QStringLiteral("Stats/1_2_3_stats.htm");
    for (const int existing : {0, 1, 2}) { // nothing, a directory with a copy, a file
        SCOPED_TRACE(existing);
        GameDir dir;
        if (existing == 1) {
            QDir(dir.root()).mkdir(stats);
            dir.write(copy, "kept");
        } else if (existing == 2) {
            dir.write(stats, "kept");
        }
        ScriptedPrompter prompter;
        EXPECT_EQ(runProgramOn(dir, prompter, quitWith), 0);
        EXPECT_EQ(QFileInfo(dir.path(stats)).isDir(), existing != 2);
        EXPECT_TRUE(existing == 0 || dir.read(existing == 1 ? copy : stats) == "kept");
    }
}

TEST(Startup, RootDirectoryEndsWithTheSeparatorAndVersionText) {
    StartupEnvironment env;
    env.executableDirectory = QStringLiteral("/opt/games/ghost recon");
    EXPECT_EQ(clsGRQuorvel::rootDirectoryFor(env),
              QDir::toNativeSeparators(QStringLiteral("/opt/games/ghost recon/")));
    env.gameDirectory = QStringLiteral("/home/p/.wine/drive_c/GR/");
    EXPECT_EQ(clsGRQuorvel::rootDirectoryFor(env),
              QDir::toNativeSeparators(QStringLiteral("/home/p/.wine/drive_c/GR/")));
    EXPECT_EQ(clsGRQuorvel::VersionString(), QStringLiteral("1.02.000"));
}

TEST(Startup, HelpVersionAndBadOptionsAnswerWithoutADisplay) {
    const struct {
        const char *option;
        int status;
        const char *out;
        const char *err;
    } cases[] = {
        {"--help", 0, "Usage: grquorvel", ""},
        {"-h", 0, "Usage: grquorvel", ""},
        {"--version", 0, "GRQuorvel 1.02.000\n", ""},
        {"--bogus", 2, "", "Usage: grquorvel"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.option);
        const ProgramOutcome o = runHeadless({QString::fromLatin1(c.option)});
        EXPECT_EQ(o.status, c.status);
        EXPECT_TRUE(*c.out ? o.out.startsWith(QLatin1String(c.out)) : o.out.isEmpty())
            << o.out.toStdString();
        EXPECT_TRUE(*c.err ? o.err.startsWith(QLatin1String(c.err)) : o.err.isEmpty())
            << o.err.toStdString();
    }
}

TEST(Startup, WithoutADisplayTheWindowSaysSoInOneLineAndEnds) {
    GameDir dir;
    const QStringList before = QDir(dir.root()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
    // No display at all; a display named that cannot be reached.
    for (const char *display : {"", ":4711"}) {
        SCOPED_TRACE(display);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(QString::fromLatin1(name));
        if (*display)
            env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(QUORVEL_BINARY_DIR "/grquorvel"),
                      {QStringLiteral("--game-dir"), dir.root()});
        ASSERT_TRUE(program.waitForFinished(10000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 1);
        const QString err = QString::fromLocal8Bit(program.readAllStandardError());
        EXPECT_EQ(err.count(u'\n'), 1) << err.toStdString();
        EXPECT_TRUE(err.startsWith(u"grquorvel: cannot open its window: ")) << err.toStdString();
        EXPECT_TRUE(program.readAllStandardOutput().isEmpty());
    }
    EXPECT_EQ(QDir(dir.root()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), before);
}

TEST(MainWindow, CaptionsEntriesAndTheGameOptionsTabNeedingItsFile) {
    for (const bool withOptions : {true, false}) {
        SCOPED_TRACE(withOptions);
        GameDir dir({.game = true, .optionsXml = withOptions});
        ScriptedPrompter prompter;
        runProgramOn(dir, prompter, [&](frmMain &main) {
            auto *tabs = named<QTabWidget>(main, "SSTab1");
            EXPECT_EQ(tabs->isTabEnabled(frmMain::TabGameOptions), withOptions);
            EXPECT_EQ(main.windowTitle(), QStringLiteral("Ghost Recon Quorvel"));
            QStringList captions;
            for (int i = 0; i < tabs->count(); ++i)
                captions << tabs->tabText(i);
            EXPECT_EQ(captions, QStringList({QStringLiteral("Stat Tracking"),
                                             QStringLiteral("Ghost Recon Servers"),
                                             QStringLiteral("Ghost Recon Game Options"),
                                             QStringLiteral("Roger Wilco Servers")}));
            const std::pair<const char *, bool> entries[] = {
                {"mnuEditCopy", false}, {"mnuEditCut", false},    {"mnuEditUndo", false},
                {"mnuHelp", false},     {"mnuFileOptions", true}, {"mnuFileQuit", true},
                {"mnuHelpTips", true},  {"mnuHelpAbout", true}};
            for (const auto &[name, enabled] : entries) {
                auto *action = main.findChild<QAction *>(QString::fromLatin1(name));
                ASSERT_NE(action, nullptr) << name;
                EXPECT_EQ(action->isEnabled(), enabled) << name;
            }
            EXPECT_TRUE(main.statsTimer()->isActive() && main.statsTimer()->interval() == 65000);
            EXPECT_EQ(main.statDirGamesDeleteAction()->text(), QStringLiteral("Delete..."));
        });
    }
}

TEST(Shutdown, EachWayToQuitEndsTheProgramOnceWithoutABox) {
    const std::function<void(frmMain &)> ways[] = {
        quitWith,
        [](frmMain &main) { named<QAction>(main, "mnuFileQuit")->trigger(); },
        [](frmMain &main) { main.close(); },
        [](frmMain &main) {
            main.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
            QTest::keyClick(&main, Qt::Key_Q, Qt::ControlModifier);
        },
    };
    for (const auto &way : ways) {
        GameDir dir;
        const QByteArray game = dir.read(QStringLiteral("options.xml"));
        ScriptedPrompter prompter; // no box expected
        EXPECT_EQ(runProgramOn(dir, prompter, way), 0);
        EXPECT_EQ(shutdownPassCount(), 1);
        EXPECT_TRUE(!gobjRoot && !findMainWindow());
        // Nothing typed in the name box: the game's name is left alone.
        EXPECT_EQ(dir.read(QStringLiteral("options.xml")), game);
    }
}
