#pragma once

#include "common/Timing.h"

#include <QStringList>

class QTextStream;

// `grquorvel --query [--json] [--file FILE] ADDR...`: queries every server once, without a
// window, and prints one line per server (or, with --json, one JSON array). `arguments` are
// those after --query; "-" reads addresses from `in`, as --file does from a file. Needs a
// QCoreApplication. Returns 0 when every server answered, 1 otherwise, 2 for bad usage.
int runQueryCommand(const QStringList &arguments, QTextStream &in, QTextStream &out,
                    QTextStream &err, const Timing &timing = {});

// Adds the server addresses `stream` holds (one or more a line, separated by blanks or
// commas; # starts a comment) to `into`.
void addressesFrom(QTextStream &stream, QStringList &into);
// The same for the file `path`; false, with the reason told on `err`, when it cannot be read.
bool addressesFromFile(const QString &path, QStringList &into, QTextStream &err);

// The usage lines of the command.
extern const char queryUsage[];
