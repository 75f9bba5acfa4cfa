#pragma once

#include <QDateTime>
#include <QStringList>

class QTextStream;

// `grquorvel --history [--json] [--game-dir DIR] [--file FILE] [-] ADDR...`: prints what the
// history file of the game directory knows of each server, without a window and without
// querying anything; the file is only read. `arguments` are those after --history; the game
// directory is `defaultGameDirectory` unless --game-dir names one. Needs a QCoreApplication.
// Returns 0, 1 when the history file is there but cannot be read, 2 for bad usage.
int runHistoryCommand(const QStringList &arguments, const QString &defaultGameDirectory,
                      QTextStream &in, QTextStream &out, QTextStream &err,
                      const QDateTime &now = QDateTime::currentDateTimeUtc());

// The usage lines of the command.
extern const char historyUsage[];
