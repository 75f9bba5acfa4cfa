#pragma once

#include "platform/ProcessLauncher.h"

#include <QString>

// How the game is started to join one server directly.
class GameCommandLine {
public:
    // The game's executable in `rootDirectory` under the name it really has there (any letter
    // case), or under its usual name when there is none.
    static QString gamePath(const QString &rootDirectory);

    // The Windows command line: the game's full path in double quotes, " -client " and the
    // address, then, with a password, " -password " and the password in double quotes. The
    // password is inserted exactly as stored; a dotted address goes in its plain decimal form
    // ("127.0.0.010" as 127.0.0.10), since the game would read a leading zero as octal.
    static QString windowsText(const QString &rootDirectory, const QString &ip,
                               const QString &password);

    // What to start on this system. On Windows the text above, as it stands. Elsewhere the game
    // runs under Wine (see platform::windowsProgramRequest): GhostRecon.exe, -client, the
    // address and, with a password, -password and the password go to the runner each as one
    // argument, so no character of a password can break the line.
    static platform::LaunchRequest request(const QString &rootDirectory, const QString &ip,
                                           const QString &password);
};
