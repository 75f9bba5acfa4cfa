#include "app/basGlobals.h"
#include "app/basMain.h"
#include "app/clsGRQuorvel.h"
#include "app/frmMain.h"
#include "platform/ProcessLauncher.h"
#include "support/GameDir.h"
#include "support/ScriptedPrompter.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

frmMain *findMainWindow() {
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *main = qobject_cast<frmMain *>(w); main && main->isVisible())
            return main;
    return nullptr;
}

// Runs the whole program on `dir`; `whileRunning` acts on the visible main window.
int runOn(const GameDir &dir, ScriptedPrompter &prompter,
          const std::function<void(frmMain &)> &whileRunning) {
    StartupEnvironment env;
    env.executableDirectory = QStringLiteral("/nonexistent");
    env.gameDirectory = dir.root();
    env.commandLine = {QStringLiteral("-noStartupPing")};
    platform::DetachedProcessLauncher launcher;
    // Acts once start-up has shown the main window (start-up runs pending events itself).
    QTimer poll;
    poll.setInterval(5);
    int waited = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        frmMain *main = findMainWindow();
        if (!main && ++waited < 400)
            return;
        poll.stop();
        EXPECT_NE(main, nullptr) << "the main window never showed";
        if (main)
            whileRunning(*main);
        else
            QApplication::quit();
    });
    poll.start();
    const int status = runProgram(env, prompter, launcher);
    return status;
}

void quitWith(frmMain &main) {
    main.findChild<QPushButton *>(QStringLiteral("cmdQuit"))->click();
}

} // namespace

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
    EXPECT_EQ(runProgram(env, prompter, launcher), 1);
    EXPECT_EQ(prompter.shown().at(0).icon, Icon::Critical);
    EXPECT_EQ(QDir(dir.root()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), before);
    EXPECT_EQ(gobjRoot, nullptr);
}

TEST(Startup, StatsDirectoryIsCreatedOrLeftAlone) {
    {
        GameDir dir;
        ScriptedPrompter prompter;
        EXPECT_EQ(runOn(dir, prompter, quitWith), 0);
        EXPECT_TRUE(QFileInfo(dir.path(QStringLiteral("Stats"))).isDir());
    }
    {
        GameDir dir;
        QDir(dir.root()).mkdir(QStringLiteral("Stats"));
        dir.write(QStringLiteral("Stats/1_2_3_4_5_6_stats.htm"), "old mission");
        ScriptedPrompter prompter;
        EXPECT_EQ(runOn(dir, prompter, quitWith), 0);
        EXPECT_EQ(dir.read(QStringLiteral("Stats/1_2_3_4_5_6_stats.htm")), "old mission");
    }
    {
        GameDir dir;
        dir.write(QStringLiteral("Stats"), "a file, not a directory");
        ScriptedPrompter prompter;
        EXPECT_EQ(runOn(dir, prompter, quitWith), 0);
        EXPECT_TRUE(QFileInfo(dir.path(QStringLiteral("Stats"))).isFile());
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

TEST(MainWindow, GameOptionsTabNeedsTheGameOptionsFile) {
    for (const bool withOptions : {true, false}) {
        SCOPED_TRACE(withOptions);
        GameDir dir({.game = true, .optionsXml = withOptions});
        ScriptedPrompter prompter;
        bool enabled = !withOptions;
        runOn(dir, prompter, [&](frmMain &main) {
            auto *tabs = main.findChild<QTabWidget *>(QStringLiteral("SSTab1"));
            enabled = tabs->isTabEnabled(frmMain::TabGameOptions);
            quitWith(main);
        });
        EXPECT_EQ(enabled, withOptions);
    }
}

TEST(MainWindow, CaptionsTabsAndAlwaysDisabledEntries) {
    GameDir dir;
    ScriptedPrompter prompter;
    runOn(dir, prompter, [&](frmMain &main) {
        EXPECT_EQ(main.windowTitle(), QStringLiteral("Ghost Recon Quorvel"));
        auto *tabs = main.findChild<QTabWidget *>(QStringLiteral("SSTab1"));
        const QStringList captions = {
            QStringLiteral("Stat Tracking"), QStringLiteral("Ghost Recon Servers"),
            QStringLiteral("Ghost Recon Game Options"), QStringLiteral("Roger Wilco Servers")};
        ASSERT_EQ(tabs->count(), 4);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(tabs->tabText(i), captions[i]);
        for (const char *name : {"mnuEditCopy", "mnuEditCut", "mnuEditPaste", "mnuHelp"}) {
            auto *action = main.findChild<QAction *>(QString::fromLatin1(name));
            ASSERT_NE(action, nullptr) << name;
            EXPECT_FALSE(action->isEnabled()) << name;
        }
        for (const char *name : {"mnuFileOptions", "mnuFileQuit", "mnuHelpTips", "mnuHelpAbout"})
            EXPECT_TRUE(main.findChild<QAction *>(QString::fromLatin1(name))->isEnabled()) << name;
        EXPECT_EQ(main.statsTimer()->interval(), 65000);
        EXPECT_TRUE(main.statsTimer()->isActive());
        EXPECT_EQ(main.statDirGamesDeleteAction()->text(), QStringLiteral("Delete..."));
        quitWith(main);
    });
}

TEST(Shutdown, EachWayToQuitEndsTheProgramOnceWithoutABox) {
    const std::function<void(frmMain &)> ways[] = {
        quitWith,
        [](frmMain &main) { main.findChild<QAction *>(QStringLiteral("mnuFileQuit"))->trigger(); },
        [](frmMain &main) { main.close(); },
    };
    for (const auto &way : ways) {
        GameDir dir;
        ScriptedPrompter prompter; // no box expected
        EXPECT_EQ(runOn(dir, prompter, way), 0);
        EXPECT_EQ(shutdownPassCount(), 1);
        EXPECT_EQ(gobjRoot, nullptr);
        EXPECT_EQ(findMainWindow(), nullptr);
    }
}
