#include "app/clsGRQuorvel.h"
#include "app/frmAbout.h"
#include "app/frmMain.h"
#include "app/frmTips.h"
#include "options/clsOptions.h"
#include "platform/ProcessLauncher.h"
#include "platform/SystemInfo.h"
#include "support/GameDir.h"
#include "support/ProgramRun.h"
#include "support/ScriptedPrompter.h"
#include "support/Widgets.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QString tipText(frmTips &tips) {
    return named<QLabel>(tips, "lblTip")->text();
}

} // namespace

TEST(Tips, EachShowingMovesOnByOneAndWrapsAfterTheLast) {
    GameDir dir;
    ScriptedPrompter prompter;
    runProgramOn(dir, prompter, [&](frmMain &main) {
        clsGRQuorvel &root = *main.rootObject();
        clsOptions &options = *root.Options();
        QAction *menuTips = named<QAction>(main, "mnuHelpTips");
        const auto tip = [&](int i) {
            return *root.Tips().Item(QStringLiteral("Tip") + QString::number(i));
        };
        const struct {
            int lastTip, shown, next;
        } cases[] = {{-1, 0, 1}, {11, 11, 12}, {12, 0, 1}, {99, 0, 1}};
        for (const auto &c : cases) {
            options.setLastTip(c.lastTip);
            menuTips->trigger();
            ASSERT_NE(main.tipsWindow(), nullptr);
            EXPECT_EQ(tipText(*main.tipsWindow()), tip(c.shown)) << c.lastTip;
            EXPECT_EQ(options.LastTip(), c.next) << c.lastTip;
            closeTips(*main.tipsWindow());
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_EQ(main.tipsWindow(), nullptr);
        }

        // Twelve times "Next Tip" comes back to the same tip.
        options.setLastTip(7);
        menuTips->trigger();
        frmTips *tips = main.tipsWindow();
        for (int i = 0; i < 12; ++i)
            named<QPushButton>(*tips, "cmdNextTip")->click();
        EXPECT_EQ(tipText(*tips), tip(7));

        // The menu again: still one window, one tip further.
        menuTips->trigger();
        EXPECT_EQ(main.tipsWindow(), tips);
        EXPECT_EQ(visibleWindows<frmTips>().size(), 1);
        EXPECT_EQ(tipText(*tips), tip(8));
    });
}

TEST(Tips, AtStartUpTheWindowIsModalWalksOnAcrossRunsAndCanBeTurnedOff) {
    GameDir dir;
    dir.write(QStringLiteral("GRQuorvelOptions.xml"),
              "<options><ShowTips>True</ShowTips><LastTip>11</LastTip>"
              "<PingOnStart>False</PingOnStart></options>");
    ScriptedPrompter prompter;
    QStringList shown;
    int run = 1;
    const auto atStartup = [&](frmTips &tips) {
        EXPECT_TRUE(tips.isModal());
        shown << tipText(tips);
        if (run == 2) {
            // The label beside the box clears it, and the next start-up shows no tip.
            auto *box = named<QCheckBox>(tips, "chkShowTips");
            EXPECT_TRUE(box->isChecked());
            QTest::mouseClick(named<QLabel>(tips, "lblShowTips"), Qt::LeftButton);
            EXPECT_FALSE(box->isChecked());
        }
        closeTips(tips);
    };
    for (; run <= 3; ++run)
        runProgramOn(dir, prompter, [](frmMain &) {}, {.atStartupTips = atStartup});
    platform::DetachedProcessLauncher launcher;
    clsGRQuorvel tipsOnly({}, prompter, launcher);
    tipsOnly.CreateTips();
    EXPECT_EQ(shown, (QStringList{*tipsOnly.Tips().Item(QStringLiteral("Tip11")),
                                  *tipsOnly.Tips().Item(QStringLiteral("Tip0"))}));
}

TEST(About, OneWindowWithTheVersionAndTheSystemInformationTool) {
    GameDir dir;
    ScriptedPrompter prompter;
    QTemporaryDir tools;
    const QString marker = tools.filePath(QStringLiteral("started"));
    runProgramOn(dir, prompter, [&](frmMain &main) {
        QAction *menuAbout = named<QAction>(main, "mnuHelpAbout");
        menuAbout->trigger();
        frmAbout *about = main.aboutWindow();
        menuAbout->trigger();
        EXPECT_EQ(main.aboutWindow(), about);
        EXPECT_EQ(visibleWindows<frmAbout>().size(), 1);
        EXPECT_EQ(named<QLabel>(*about, "lblVersion")->text(), QStringLiteral("1.02.000"));
        // No caption; an empty title would make the window system show the program's name.
        EXPECT_TRUE(!about->windowTitle().isEmpty() && about->windowTitle().trimmed().isEmpty());
        auto *sysInfo = named<QPushButton>(*about, "cmdSysInfo");

        // No tool on the search path: the message, and the window stays.
        about->setSystemInfo(platform::SystemInfo({tools.path()}));
        prompter.expect(QStringLiteral("GRQuorvel"), Answer::Ok,
                        QStringLiteral("System Information Is Unavailable At This Time"));
        sysInfo->click();
        EXPECT_EQ(prompter.lastShown().icon, Icon::None);
        EXPECT_TRUE(about->isVisible());

        // A tool found on the path is started.
        writeProgram(tools.filePath(QStringLiteral("kinfocenter")),
                     "#!/bin/sh\ntouch \"" + marker.toUtf8() + "\"\n");
        sysInfo->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(marker); }, 5000));
    });
}

TEST(StatsInTheProgram, TheMainWindowsTimerDrivesTheRecorderAndTheTabListsTheCopy) {
    GameDir dir({.missionStats = true});
    ScriptedPrompter prompter;
    runProgramOn(
        dir, prompter,
        [&](frmMain &main) {
            // Recording is on by default, into the Stats directory.
            const QString stats = dir.root() + QStringLiteral("Stats");
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return QDir(stats).entryList({QStringLiteral("*.htm")}).size() == 1; },
                3000));
            EXPECT_EQ(dir.read(QStringLiteral("GRQuorvelCache.dat")),
                      dir.read(QStringLiteral("missionstats.htm")));
            main.statDirGamesRefreshAction()->trigger();
            EXPECT_EQ(named<QListWidget>(main, "lsvStatsDirectory")->count(), 1);
        },
        {.timing = {.statsTickMs = 20}});
}
