#include "support/ProgramRun.h"

#include "app/basGlobals.h"
#include "app/basMain.h"
#include "app/clsGRQuorvel.h"
#include "app/frmMain.h"
#include "platform/ProcessLauncher.h"
#include "support/GameDir.h"
#include "support/ScriptedPrompter.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

frmMain *findMainWindow() {
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *main = qobject_cast<frmMain *>(w); main && main->isVisible())
            return main;
    return nullptr;
}

int runProgramOn(const GameDir &dir, ScriptedPrompter &prompter,
                 const std::function<void(frmMain &)> &whileRunning, const QStringList &commandLine,
                 const Timing &timing, CommonDialog *commonDialog) {
    StartupEnvironment env;
    env.executableDirectory = QStringLiteral("/nonexistent");
    env.gameDirectory = dir.root();
    env.commandLine = commandLine;
    platform::DetachedProcessLauncher launcher;
    // Acts once start-up has shown the main window (start-up runs pending events itself).
    QTimer poll;
    poll.setInterval(5);
    int waited = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        frmMain *main = findMainWindow();
        if (!main && ++waited < 1000)
            return;
        poll.stop();
        EXPECT_NE(main, nullptr) << "the main window never showed";
        if (main)
            whileRunning(*main);
        // A test that failed half-way must not leave the program running.
        if (gobjRoot)
            ShutdownProgram();
    });
    poll.start();
    return runProgram(env, prompter, launcher, timing, commonDialog);
}

void quitWith(frmMain &main) {
    main.findChild<QPushButton *>(QStringLiteral("cmdQuit"))->click();
}

bool waitFor(const std::function<bool()> &done, int ms) {
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(10);
    }
    return true;
}
