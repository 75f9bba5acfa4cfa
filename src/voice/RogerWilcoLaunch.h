#pragma once

#include <QString>
#include <QStringList>

// What Roger Wilco is started with to join a channel.

// The arguments after the program: /leave /join1 CHANNEL [PASSWORD].
QStringList rogerWilcoArguments(const QString &channel, const QString &password);
