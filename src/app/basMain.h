#pragma once

#include "common/Timing.h"

#include <QStringList>

class CommonDialog;
class Prompter;
struct StartupEnvironment;
namespace platform {
class ProcessLauncher;
}

// The program's entry: creates the application, runs start-up, then the event loop.
int Main(int argc, char **argv);

// Runs the program in an application that already exists (tests run it this way). Returns the
// exit status once the program has ended.
int runProgram(const StartupEnvironment &environment, Prompter &prompter,
               platform::ProcessLauncher &launcher, const Timing &timing = {},
               CommonDialog *commonDialog = nullptr);

// Saves the preferences, closes the windows, releases the application object and ends the
// event loop. Entering it again while it runs does nothing.
void ShutdownProgram();

// Whether the shutdown sequence has begun.
bool shutdownInProgress();

// How many times the shutdown sequence ran since the program started.
int shutdownPassCount();
