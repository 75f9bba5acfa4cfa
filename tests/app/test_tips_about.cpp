#include "app/basMain.h"
#include "app/clsGRQuorvel.h"
#include "app/frmAbout.h"
#include "app/frmMain.h"
#include "app/frmTips.h"
#include "options/clsOptions.h"
#include "platform/ProcessLauncher.h"
#include "platform/SystemInfo.h"
#include "support/GameDir.h"
#include "support/ScriptedPrompter.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
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

// Runs the whole program on `dir`. `atStartupTips` handles a tip window shown before the main
// window; `whileRunning` acts on the visible main window and must end the program.
void runOn(const GameDir &dir, ScriptedPrompter &prompter,
           const std::function<void(frmTips &)> &atStartupTips,
           const std::function<void(frmMain &)> &whileRunning) {
    StartupEnvironment env;
    env.gameDirectory = dir.root();
    env.commandLine = {QStringLiteral("-noStartupPing")};
    platform::DetachedProcessLauncher launcher;
    QTimer poll;
    poll.setInterval(5);
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
        whileRunning(*visibleWindows<frmMain>().constFirst());
    });
    poll.start();
    runProgram(env, prompter, launcher);
}

QString tipText(frmTips &tips) {
    return tips.findChild<QLabel *>(QStringLiteral("lblTip"))->text();
}

void quit(frmMain &main) {
    main.findChild<QPushButton *>(QStringLiteral("cmdQuit"))->click();
}

} // namespace

TEST(Tips, EachShowingMovesOnByOneAndWrapsAfterTheLast) {
    GameDir dir;
    ScriptedPrompter prompter;
    bool ran = false;
    runOn(
        dir, prompter, [](frmTips &tips) { tips.close(); },
        [&](frmMain &main) {
            ran = true;
            clsGRQuorvel &root = *main.rootObject();
            clsOptions &options = *root.Options();
            QAction *menuTips = main.findChild<QAction *>(QStringLiteral("mnuHelpTips"));
            const auto tip = [&](int i) {
                return *root.Tips().Item(QStringLiteral("Tip") + QString::number(i));
            };
            const struct {
                int lastTip, shown, next;
            } cases[] = {{-1, 0, 1}, {11, 11, 12}, {12, 0, 1}, {99, 0, 1}, {4, 4, 5}};
            for (const auto &c : cases) {
                options.setLastTip(c.lastTip);
                menuTips->trigger();
                frmTips *tips = main.tipsWindow();
                ASSERT_NE(tips, nullptr);
                EXPECT_EQ(tips->windowTitle(), QStringLiteral("Tip of day..."));
                EXPECT_EQ(tipText(*tips), tip(c.shown)) << c.lastTip;
                EXPECT_EQ(options.LastTip(), c.next) << c.lastTip;
                tips->findChild<QPushButton *>(QStringLiteral("cmdClose"))->click();
                QApplication::processEvents();
                QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                EXPECT_EQ(main.tipsWindow(), nullptr);
            }

            // Twelve times "Next Tip" comes back to the same tip.
            options.setLastTip(7);
            menuTips->trigger();
            frmTips *tips = main.tipsWindow();
            const QString first = tipText(*tips);
            for (int i = 0; i < 12; ++i)
                tips->findChild<QPushButton *>(QStringLiteral("cmdNextTip"))->click();
            EXPECT_EQ(tipText(*tips), first);
            EXPECT_EQ(options.LastTip(), 8);

            // The menu again: the same one window, one tip further.
            menuTips->trigger();
            EXPECT_EQ(main.tipsWindow(), tips);
            EXPECT_EQ(visibleWindows<frmTips>().size(), 1);
            EXPECT_EQ(tipText(*tips), tip(8));
            quit(main);
        });
    EXPECT_TRUE(ran);
}

TEST(Tips, ClearingTheBoxKeepsTheWindowAwayAtTheNextStartup) {
    GameDir dir;
    ScriptedPrompter prompter;
    const auto clearBox = [](frmTips &tips) {
        auto *box = tips.findChild<QCheckBox *>(QStringLiteral("chkShowTips"));
        auto *label = tips.findChild<QLabel *>(QStringLiteral("lblShowTips"));
        EXPECT_EQ(label->text(), QStringLiteral("Show tips on start up"));
        // The label toggles the box, and the box the preference.
        const bool before = box->isChecked();
        QTest::mouseClick(label, Qt::LeftButton);
        EXPECT_NE(box->isChecked(), before);
        if (box->isChecked())
            box->click();
        tips.findChild<QPushButton *>(QStringLiteral("cmdClose"))->click();
    };
    runOn(dir, prompter, clearBox, [&](frmMain &main) {
        main.rootObject()->Options()->setShowTips(true);
        main.findChild<QAction *>(QStringLiteral("mnuHelpTips"))->trigger();
        ASSERT_NE(main.tipsWindow(), nullptr);
        EXPECT_TRUE(
            main.tipsWindow()->findChild<QCheckBox *>(QStringLiteral("chkShowTips"))->isChecked());
        clearBox(*main.tipsWindow());
        EXPECT_FALSE(main.rootObject()->Options()->ShowTips());
        quit(main);
    });

    bool tipsAtStartup = false;
    runOn(
        dir, prompter,
        [&](frmTips &tips) {
            tipsAtStartup = true;
            tips.close();
        },
        [](frmMain &main) { quit(main); });
    EXPECT_FALSE(tipsAtStartup);
}

TEST(About, OneWindowWithTheVersionAndTheSystemInformationTool) {
    GameDir dir;
    ScriptedPrompter prompter;
    QTemporaryDir tools;
    const QString marker = tools.filePath(QStringLiteral("started"));
    runOn(
        dir, prompter, [](frmTips &tips) { tips.close(); },
        [&](frmMain &main) {
            QAction *menuAbout = main.findChild<QAction *>(QStringLiteral("mnuHelpAbout"));
            menuAbout->trigger();
            frmAbout *about = main.aboutWindow();
            ASSERT_NE(about, nullptr);
            menuAbout->trigger();
            EXPECT_EQ(main.aboutWindow(), about);
            EXPECT_EQ(visibleWindows<frmAbout>().size(), 1);
            EXPECT_EQ(about->findChild<QLabel *>(QStringLiteral("lblVersion"))->text(),
                      QStringLiteral("1.02.000"));
            EXPECT_EQ(about->findChild<QLabel *>(QStringLiteral("lblTitle"))->text(),
                      QStringLiteral("Ghost Recon Quorvel"));
            auto *sysInfo = about->findChild<QPushButton *>(QStringLiteral("cmdSysInfo"));
            EXPECT_EQ(sysInfo->text(), QStringLiteral("&System Info..."));

            // No tool on the search path: the message, and the window stays.
            about->setSystemInfo(platform::SystemInfo({tools.path()}));
            prompter.expect(QStringLiteral("GRQuorvel"), Answer::Ok,
                            QStringLiteral("System Information Is Unavailable At This Time"));
            sysInfo->click();
            ASSERT_EQ(prompter.shown().size(), 1u);
            EXPECT_EQ(prompter.shown().back().icon, Icon::None);
            EXPECT_EQ(prompter.shown().back().buttons, Buttons::Ok);
            EXPECT_TRUE(about->isVisible());

            // A tool found on the path is started.
            const QString tool = tools.filePath(QStringLiteral("kinfocenter"));
            QFile script(tool);
            ASSERT_TRUE(script.open(QIODevice::WriteOnly));
            script.write("#!/bin/sh\ntouch \"" + marker.toUtf8() + "\"\n");
            script.close();
            script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            sysInfo->click();
            EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(marker); }, 5000));
            EXPECT_EQ(prompter.shown().size(), 1u);

            about->findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
            EXPECT_FALSE(about->isVisible());
            quit(main);
        });
    EXPECT_TRUE(prompter.allAnswered());
}
