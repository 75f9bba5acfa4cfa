#pragma once

#include <QDateTime>
#include <QStringList>

class QTextStream;
struct StartupEnvironment;

// `grquorvel --history [--json] [--game-dir DIR] [--file FILE] [-] ADDR...`: prints what the
// history file of the game directory knows of each server, without a window and without
// querying anything; the file is only read. `arguments` are those after --history. Without
// --game-dir the game is looked for as the window looks for it, from where `program` says the
// program lives and with its search places. Needs a QCoreApplication. Returns 0, 1 when the
// history file is there but cannot be read, 2 for bad usage (a --game-dir without the game,
// or no single game found).
int runHistoryCommand(const QStringList &arguments, const StartupEnvironment &program,
                      QTextStream &in, QTextStream &out, QTextStream &err,
                      const QDateTime &now = QDateTime::currentDateTimeUtc());

// The usage lines of the command.
extern const char historyUsage[];
