#include "support/ProgramRun.h"

#include "app/GameChooser.h"
#include "app/ProgramTray.h"
#include "app/basGlobals.h"
#include "app/basMain.h"
#include "app/clsGRQuorvel.h"
#include "app/frmMain.h"
#include "app/frmTips.h"
#include "platform/ProcessLauncher.h"
#include "support/GameDir.h"
#include "support/ScriptedPrompter.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>

#include <gtest/gtest.h>

frmMain *findMainWindow() {
    return visibleWindows<frmMain>().value(0);
}

StartupEnvironment startupOn(const QString &gameDir) {
    StartupEnvironment env;
    env.executableDirectory = QStringLiteral("/nonexistent");
    env.gameDirectory = gameDir;
    env.commandLine = {QStringLiteral("-noStartupPing")};
    return env;
}

int runProgramOn(const GameDir &dir, ScriptedPrompter &prompter,
                 const std::function<void(frmMain &)> &whileRunning, RunSettings settings) {
    return runProgramWith(startupOn(dir.root()), prompter, whileRunning, std::move(settings));
}

int runProgramWith(const StartupEnvironment &env, ScriptedPrompter &prompter,
                   const std::function<void(frmMain &)> &whileRunning, RunSettings settings) {
    platform::DetachedProcessLauncher launcher;
    if (!settings.atStartupTips)
        settings.atStartupTips = closeTips;
    // Acts once start-up has shown the main window (start-up runs pending events itself).
    QTimer poll;
    poll.setInterval(5);
    int waited = 0;
    bool windowShown = false;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        frmMain *main = nullptr;
        if (settings.mainInTray) {
            for (QWidget *window : QApplication::topLevelWidgets()) {
                if (auto *hidden = qobject_cast<frmMain *>(window))
                    main = hidden;
                if (window->isVisible() && !window->isMinimized() && !windowShown) {
                    windowShown = true;
                    ADD_FAILURE() << "a window showed: " << window->metaObject()->className();
                    window->close();
                }
            }
            if (main && !(main->tray() && (main->tray()->isShown() || main->isMinimized())))
                main = nullptr;
        } else if (main = findMainWindow(); !main) {
            if (frmTips *tips = visibleWindows<frmTips>().value(0)) {
                settings.atStartupTips(*tips);
                return;
            }
            if (GameChooser *chooser = visibleWindows<GameChooser>().value(0)) {
                if (settings.chooseGame) {
                    settings.chooseGame(*chooser);
                } else {
                    ADD_FAILURE() << "unexpected choice of games";
                    chooser->reject();
                }
                return;
            }
        }
        if (!main && ++waited < 1000)
            return;
        poll.stop();
        EXPECT_NE(main, nullptr) << (settings.mainInTray ? "the main window never went to the tray"
                                                         : "the main window never showed");
        if (main)
            whileRunning(*main);
        // Also a test that failed half-way must not leave the program running.
        if (gobjRoot)
            ShutdownProgram();
    });
    poll.start();
    return runProgram(env, prompter, launcher, settings.timing, settings.commonDialog);
}

void startTestChild(QProcess &child, const QString &test,
                    std::initializer_list<std::pair<const char *, QString>> variables,
                    QProcess::ProcessChannelMode mode) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const auto &[name, value] : variables)
        env.insert(QString::fromLatin1(name), value);
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(mode);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_also_run_disabled_tests"),
                 QStringLiteral("--gtest_filter=") + test});
}

void quitWith(frmMain &main) {
    main.findChild<QPushButton *>(QStringLiteral("cmdQuit"))->click();
}

void closeTips(frmTips &tips) {
    tips.findChild<QPushButton *>(QStringLiteral("cmdClose"))->click();
}

QString tool(const char *name) {
    const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
    EXPECT_FALSE(path.isEmpty()) << name << " is missing (scripts/install-deps installs it)";
    return path;
}

void writeProgram(const QString &path, const QByteArray &text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(text);
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

ProgramOutcome runHeadless(const QStringList &arguments, const QByteArray &input,
                           const QStringList &wrapper) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QString::fromLatin1(name));
    p.setProcessEnvironment(env);
    const QStringList program =
        wrapper + QStringList{QStringLiteral(QUORVEL_BINARY_DIR "/grquorvel")} + arguments;
    p.start(program.first(), program.mid(1));
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(30000))
        p.kill();
    p.waitForFinished();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}
