#pragma once

#include "common/Timing.h"

#include <QStringList>

#include <functional>

class CommonDialog;
class GameDir;
class ScriptedPrompter;
class frmMain;

// The visible main window of the program running in this process, if any.
frmMain *findMainWindow();

// Runs the whole program on `dir` in this process; once the main window shows, `whileRunning`
// acts on it (and must end the program, e.g. with Quit). Returns the exit status.
int runProgramOn(const GameDir &dir, ScriptedPrompter &prompter,
                 const std::function<void(frmMain &)> &whileRunning,
                 const QStringList &commandLine = {QStringLiteral("-noStartupPing")},
                 const Timing &timing = {}, CommonDialog *commonDialog = nullptr);

// Clicks the main window's Quit button.
void quitWith(frmMain &main);

// Waits (running events) until `done` holds or `ms` pass; returns whether it held.
bool waitFor(const std::function<bool()> &done, int ms = 5000);
