#pragma once

#include "platform/ProcessLauncher.h"

namespace platform {

// Windows programs (the game, Roger Wilco) start directly on Windows and under Wine elsewhere.

// The Wine runner: GRQUORVEL_WINE when set, else "wine" (found on PATH).
QString wineRunner();

// The Wine prefix holding `path` (the directory above its drive_c), or empty text when the path
// lies in no prefix.
QString winePrefixFor(const QString &path);

// The request that starts `program` with `arguments`, each argument kept whole. On Windows,
// a `windowsCommandLine` (starting with the quoted program) is used as it stands instead; Wine
// takes the arguments one by one.
LaunchRequest windowsProgramRequest(const QString &program, const QStringList &arguments,
                                    ShowMode showMode, const QString &windowsCommandLine = {});

// The directory a Windows program knows as C:\Program Files: that one itself on Windows; under
// Wine the one in the prefix holding `path`, or empty text when the path lies in no prefix.
QString programFilesDirectory(const QString &path);

} // namespace platform
