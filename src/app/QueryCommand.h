#pragma once

#include <functional>
#include <optional>

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

// What an address command was given: --json, and the addresses named, in "--file FILE" and
// read from `in` for "-".
struct AddressArguments {
    bool json = false;
    QStringList addresses;
};
// Reads the arguments every address command takes; `option` may take one more of its own
// (at `i`, moving `i` past what it used) and says whether it did. Gives the exit status to end
// with (0 after --help, 2 for bad usage or no address), or nothing when the command goes on.
std::optional<int>
readAddressArguments(const QStringList &arguments, QTextStream &in, QTextStream &out,
                     QTextStream &err, const char *usage, AddressArguments &into,
                     const std::function<bool(const QStringList &, qsizetype &)> &option = {});

// The usage lines of the command.
extern const char queryUsage[];
