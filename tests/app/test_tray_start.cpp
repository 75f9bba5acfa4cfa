#include "app/ProgramTray.h"
#include "app/basGlobals.h"
#include "app/basMain.h"
#include "app/clsGRQuorvel.h"
#include "app/frmMain.h"
#include "options/clsOptions.h"
#include "platform/SessionAutostart.h"
#include "servers_tab/ctlGRServers.h"
#include "support/GameDir.h"
#include "support/ProgramRun.h"
#include "support/ScriptedPrompter.h"
#include "support/Widgets.h"
#include "widgets/SystemTray.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const Timing quick{.queryWindowMs = 200, .listTickMs = 20, .requeryEveryTicks = 5};

struct TrayOverride {
    explicit TrayOverride(bool available) { overrideSystemTrayAvailable(available); }
    ~TrayOverride() { overrideSystemTrayAvailable(std::nullopt); }
};

// Preferences that would open both start-up windows.
void withStartupWindows(GameDir &dir) {
    dir.write(QStringLiteral("GRQuorvelOptions.xml"),
              "<options><ShowTips>True</ShowTips><PingOnStart>True</PingOnStart></options>");
}

StartupEnvironment inTray(const GameDir &dir) {
    StartupEnvironment env = startupOn(dir.root());
    env.commandLine = {QStringLiteral("--tray")};
    return env;
}

// Opens the Options dialog and, with `click`, clicks "Start with my desktop session"; returns
// the box's state when the dialog closes.
bool clickStartWithSession(frmMain &main, bool click = true) {
    bool checked = false;
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(QTest::qWaitFor([] { return !visibleWindows<QDialog>().isEmpty(); }, 3000));
        QDialog &dialog = *visibleWindows<QDialog>().first();
        QCheckBox *box = named<QCheckBox>(dialog, "chkStartWithSession");
        if (click)
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
        checked = box->isChecked();
        named<QPushButton>(dialog, "cmdOK")->click();
    });
    named<QAction>(main, "mnuFileOptions")->trigger();
    return checked;
}

} // namespace

TEST(TrayStart, NoWindowAtAllUntilTheTrayMenuShowsTheMainWindow) {
    const TrayOverride tray(true);
    GameDir dir;
    withStartupWindows(dir);
    ScriptedPrompter prompter;
    const int status =
        runProgramWith(inTray(dir), prompter,
                       [&](frmMain &main) {
                           // Hidden, quiet, and the icon there although nothing is watched.
                           EXPECT_FALSE(main.isVisible());
                           EXPECT_FALSE(main.serversPane()->windowSeen());
                           ASSERT_TRUE(main.tray()->isShown());
                           QMenu *menu = main.tray()->menu();
                           emit menu->aboutToShow();
                           named<QAction>(*menu, "mnuTrayShow")->trigger();
                           EXPECT_TRUE(main.isSeen());
                           EXPECT_TRUE(main.serversPane()->windowSeen());
                           // Back in the window, the icon is there only for watches, as always.
                           EXPECT_FALSE(main.tray()->isShown());
                           // The start skipped the windows; it changed no preference.
                           EXPECT_TRUE(main.rootObject()->Options()->ShowTips());
                           EXPECT_TRUE(main.rootObject()->Options()->PingGRServersOnStartup());
                       },
                       {.timing = quick, .mainInTray = true});
    EXPECT_EQ(status, 0);
    EXPECT_EQ(gobjRoot, nullptr);
    EXPECT_TRUE(prompter.shown().empty());
}

TEST(TrayStart, WithoutATrayTheWindowStartsMinimizedAndAnotherStartShowsIt) {
    const TrayOverride tray(false);
    GameDir dir;
    withStartupWindows(dir);
    ScriptedPrompter prompter;
    runProgramWith(inTray(dir), prompter,
                   [&](frmMain &main) {
                       EXPECT_TRUE(main.isMinimized());
                       EXPECT_FALSE(main.tray()->isShown());
                       EXPECT_FALSE(main.serversPane()->windowSeen());
                   },
                   {.timing = quick, .mainInTray = true});
    EXPECT_TRUE(prompter.shown().empty());

    // Left in the tray, a second start of the program brings the window up.
    const TrayOverride trayNow(true);
    runProgramWith(inTray(dir), prompter,
                   [&](frmMain &main) {
                       ASSERT_FALSE(main.isVisible());
                       QProcess second;
                       second.start(QStringLiteral(QUORVEL_BINARY_DIR "/grquorvel"),
                                    {QStringLiteral("--game-dir"), dir.root()});
                       EXPECT_TRUE(QTest::qWaitFor([&] { return main.isVisible(); }, 10000));
                       EXPECT_TRUE(second.waitForFinished(10000));
                       EXPECT_EQ(second.exitCode(), 0);
                   },
                   {.timing = quick, .mainInTray = true});
    EXPECT_TRUE(prompter.shown().empty());
}

TEST(TrayStart, TheSessionEntryComesAndGoesWithItsBox) {
    QTemporaryDir config;
    const ScopedEnv xdg("XDG_CONFIG_HOME", config.path().toUtf8());
    GameDir dir;
    ScriptedPrompter prompter;
    runProgramOn(dir, prompter,
                 [&](frmMain &main) {
                     EXPECT_FALSE(clickStartWithSession(main, false));
                     EXPECT_TRUE(clickStartWithSession(main));
                     // Starting this very program in the tray on this game.
                     const QString entry = platform::SessionAutostart::entryLocation();
                     QSettings read(entry, QSettings::IniFormat);
                     EXPECT_EQ(
                         read.value(QStringLiteral("Desktop Entry/Exec")).toString(),
                         platform::SessionAutostart::commandLine(
                             QCoreApplication::applicationFilePath(),
                             {QStringLiteral("--tray"), QStringLiteral("--game-dir"), dir.root()}));

                     // Opened again it shows the entry is there; cleared, the entry is gone.
                     EXPECT_TRUE(clickStartWithSession(main, false));
                     EXPECT_FALSE(clickStartWithSession(main));
                     EXPECT_FALSE(QFileInfo::exists(entry));

                     // An entry the desktop's own settings removed shows as off.
                     EXPECT_TRUE(clickStartWithSession(main));
                     QFile::remove(entry);
                     EXPECT_FALSE(clickStartWithSession(main, false));

                     // Where it cannot be written the player is told, and the box stays clear.
                     QDir(config.path()).rmdir(QStringLiteral("autostart"));
                     QFile blocker(config.filePath(QStringLiteral("autostart")));
                     ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
                     blocker.close();
                     prompter.expect(QStringLiteral("An Error has occured"), Answer::Cancel,
                                     QStringLiteral("autostart"));
                     EXPECT_FALSE(clickStartWithSession(main));
                 },
                 {.timing = quick});
    EXPECT_EQ(prompter.shown().size(), 1u);
}
