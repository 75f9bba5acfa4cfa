#include "app/basMain.h"
#include "app/clsGRQuorvel.h"
#include "app/frmMain.h"
#include "options/clsOptions.h"
#include "platform/ProcessLauncher.h"
#include "stats/ctlQuorvel.h"
#include "support/GameDir.h"
#include "support/ScriptedPrompter.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

TEST(StatsInTheProgram, TheMainWindowsTimerDrivesTheRecorderAndTheTabListsTheCopy) {
    GameDir dir({.game = true, .optionsXml = true, .missionStats = true});
    ScriptedPrompter prompter;
    StartupEnvironment env;
    env.gameDirectory = dir.root();
    env.commandLine = {QStringLiteral("-noStartupPing")};
    platform::DetachedProcessLauncher launcher;
    Timing timing;
    timing.statsTickMs = 20;

    bool checked = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        frmMain *main = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *m = qobject_cast<frmMain *>(w); m && m->isVisible())
                main = m;
        if (!main)
            return;
        poll.stop();
        checked = true;
        auto *pane = qobject_cast<ctlQuorvel *>(main->tabs()->widget(frmMain::TabStats));
        EXPECT_NE(pane, nullptr);
        if (!pane) {
            ShutdownProgram();
            return;
        }
        EXPECT_EQ(pane->objectName(), QStringLiteral("ctlQuorvel"));

        clsOptions &options = *main->rootObject()->Options();
        const QString stats = dir.root() + QStringLiteral("Stats");
        options.setStatsPath(stats);
        options.setRecordStats(true);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return !QDir(stats).entryList({QStringLiteral("*.htm")}).isEmpty(); }, 3000));
        EXPECT_EQ(dir.read(QStringLiteral("GRQuorvelCache.dat")),
                  dir.read(QStringLiteral("missionstats.htm")));
        EXPECT_EQ(main->statsTimer()->interval(), 20);

        main->statDirGamesRefreshAction()->trigger();
        EXPECT_EQ(pane->findChild<QListWidget *>(QStringLiteral("lsvStatsDirectory"))->count(), 1);
        main->findChild<QPushButton *>(QStringLiteral("cmdQuit"))->click();
    });
    poll.start();
    EXPECT_EQ(runProgram(env, prompter, launcher, timing), 0);
    EXPECT_TRUE(checked);
}
