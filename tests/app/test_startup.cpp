#include "app/basGlobals.h"
#include "app/basMain.h"
#include "app/frmMain.h"
#include "support/GameDir.h"
#include "support/ProgramRun.h"
#include "support/ScriptedPrompter.h"
#include "support/Widgets.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

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
    for (const QStringList &wrapper :
         {QStringList(), QStringList{QStringLiteral("env"), QStringLiteral("DISPLAY=:4711")}}) {
        SCOPED_TRACE(wrapper.join(u' ').toStdString());
        const ProgramOutcome o =
            runHeadless({QStringLiteral("--game-dir"), dir.root()}, {}, wrapper);
        EXPECT_EQ(o.status, 1);
        EXPECT_EQ(o.err.count(u'\n'), 1) << o.err.toStdString();
        EXPECT_TRUE(o.err.startsWith(u"grquorvel: cannot open its window: "))
            << o.err.toStdString();
        EXPECT_TRUE(o.out.isEmpty());
    }
    EXPECT_EQ(QDir(dir.root()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), before);
}

TEST(MainWindow, MenuEntriesAndTheGameOptionsTabNeedingItsFile) {
    for (const bool withOptions : {true, false}) {
        SCOPED_TRACE(withOptions);
        GameDir dir({.game = true, .optionsXml = withOptions});
        ScriptedPrompter prompter;
        runProgramOn(dir, prompter, [&](frmMain &main) {
            auto *tabs = named<QTabWidget>(main, "SSTab1");
            EXPECT_EQ(tabs->isTabEnabled(frmMain::TabGameOptions), withOptions);
            const std::pair<const char *, bool> entries[] = {
                {"mnuEditCopy", false}, {"mnuEditCut", false},    {"mnuEditUndo", false},
                {"mnuHelp", false},     {"mnuFileOptions", true}, {"mnuFileQuit", true},
                {"mnuHelpTips", true},  {"mnuHelpAbout", true}};
            for (const auto &[name, enabled] : entries) {
                auto *action = main.findChild<QAction *>(QString::fromLatin1(name));
                ASSERT_NE(action, nullptr) << name;
                EXPECT_EQ(action->isEnabled(), enabled) << name;
            }
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
