#pragma once

#include <QString>
#include <QStringList>

// What Roger Wilco is started with to join a channel.

// The arguments after the program: /leave /join1 CHANNEL [PASSWORD].
QStringList rogerWilcoArguments(const QString &channel, const QString &password);

// The whole command line as Windows starts it. The program path is quoted, so a path with
// blanks (the usual "Program Files" one) stays one word.
QString rogerWilcoCommandLine(const QString &exe, const QString &channel, const QString &password);
