#pragma once

#include "common/Timing.h"

#include <QApplication>
#include <QProcess>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <initializer_list>
#include <utility>

class CommonDialog;
class GameChooser;
class GameDir;
struct StartupEnvironment;
class ScriptedPrompter;
class frmMain;
class frmTips;

// The visible top-level windows of type T.
template <typename T> QList<T *> visibleWindows() {
    QList<T *> found;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<T *>(w); window && window->isVisible())
            found << window;
    return found;
}

// The visible main window of the program running in this process, if any.
frmMain *findMainWindow();

struct RunSettings {
    Timing timing = {};
    CommonDialog *commonDialog = nullptr; // the main window takes it
    // Gets the tip window start-up shows before the main window; by default it is closed.
    std::function<void(frmTips &)> atStartupTips = nullptr;
    // Answers the question which of several games found to use; by default it fails the test.
    std::function<void(GameChooser &)> chooseGame = nullptr;
    // Start-up leaves the main window in the tray (or minimized): `whileRunning` acts once it
    // is there, and any window shown before that fails the test.
    bool mainInTray = false;
};

// Runs the whole program on `dir` in this process; once the main window shows, `whileRunning`
// acts on it. The program is then ended the way Quit ends it, unless `whileRunning` did.
// Returns the exit status.
int runProgramOn(const GameDir &dir, ScriptedPrompter &prompter,
                 const std::function<void(frmMain &)> &whileRunning, RunSettings settings = {});
// The same, started as `environment` says (where the program lives, where it looks for the game).
int runProgramWith(const StartupEnvironment &environment, ScriptedPrompter &prompter,
                   const std::function<void(frmMain &)> &whileRunning, RunSettings settings = {});

void quitWith(frmMain &main);

// What start-up is told when the program runs on `gameDir`: that it lives elsewhere, and
// -noStartupPing.
StartupEnvironment startupOn(const QString &gameDir);

// Starts this test program again as a child that runs only `test` (a disabled one, which never
// runs by itself), with `variables` added to its environment.
void startTestChild(QProcess &child, const QString &test,
                    std::initializer_list<std::pair<const char *, QString>> variables,
                    QProcess::ProcessChannelMode mode = QProcess::ForwardedChannels);

// How a run of the built program ended (-1: it did not end by itself) and what it printed.
struct ProgramOutcome {
    int status = -1;
    QString out, err;
};
// Runs the built program with `arguments` and no display at all, `input` on its standard input.
// With `wrapper` (say "unshare -n") the wrapper starts it.
ProgramOutcome runHeadless(const QStringList &arguments, const QByteArray &input = {},
                           const QStringList &wrapper = {});

void closeTips(frmTips &tips);

// The program `name` on the search path; a missing one fails the test.
QString tool(const char *name);
// Writes `text` to `path` (making the directories above it) as a program its owner may run.
void writeProgram(const QString &path, const QByteArray &text);
