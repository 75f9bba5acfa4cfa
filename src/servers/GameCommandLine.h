#pragma once

#include "platform/ProcessLauncher.h"

#include <QString>

// How the game is started to join one server directly.
class GameCommandLine {
public:
    // The Windows command line: the game's full path in double quotes, " -client " and the
    // address, then, with a password, " -password " and the password in double quotes. Both
    // are inserted exactly as stored.
    static QString windowsText(const QString &rootDirectory, const QString &ip,
                               const QString &password);

    // What to start on this system. On Windows the text above, as it stands. Elsewhere the game
    // runs under Wine: the runner (GRQUORVEL_WINE, or `wine` on PATH) gets GhostRecon.exe,
    // -client, the address and, with a password, -password and the password, each as one
    // argument, so no character of a password can break the line; WINEPREFIX names the prefix
    // when the game lies inside one.
    static platform::LaunchRequest request(const QString &rootDirectory, const QString &ip,
                                           const QString &password);

    // The Wine prefix a game directory lies in (the part before "/drive_c/"), or empty.
    static QString winePrefixOf(const QString &rootDirectory);
    // The runner: GRQUORVEL_WINE when set, else `wine` found on PATH, else just "wine" (whose
    // start then fails with a reason).
    static QString wineRunner();
};
