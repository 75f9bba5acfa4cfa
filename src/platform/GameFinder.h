#pragma once

#include <QString>
#include <QStringList>

#include <chrono>

namespace platform {

// Where a player's Ghost Recon may be installed when it does not lie beside this program: Wine
// prefixes (the one named by WINEPREFIX, ~/.wine, those of the Lutris and Bottles launchers)
// and Steam libraries. Empty places are left out of the search.
struct GameSearchPlaces {
    QString home;        // the player's home directory
    QString winePrefix;  // WINEPREFIX
    QString xdgDataHome; // XDG_DATA_HOME; empty: ~/.local/share

    // The places of the running session.
    static GameSearchPlaces fromEnvironment();
};

struct GameSearchLimits {
    // How far below a prefix's "Program Files" directory the game may lie.
    int programFilesDepth = 3;
    // The whole search gives up after this long (a slow or huge disk must not hold start-up).
    std::chrono::milliseconds budget{3000};
};

// The game's executable in `directory` whatever the letter case of its name (Windows file
// systems ignore it, so installs leave GHOSTRECON.EXE or ghostrecon.exe as well): its full path
// under its real name, or empty text. Only an ordinary file that is not hidden counts; the usual
// spelling wins when there are several.
QString gameExecutableIn(const QString &directory);

// The full path of every GhostRecon.exe (in any letter case) found, each install once. The places
// are searched in a fixed order, each to a bounded depth: WINEPREFIX, ~/.wine, Lutris, Bottles,
// Steam. Symbolic links to directories are not followed below a candidate (a prefix links to the
// whole disk).
QStringList findGames(const GameSearchPlaces &places, const GameSearchLimits &limits = {});

// The fixed installation that a copy of this program run from the developers' tree takes the
// game from, or empty text. Only a Windows path can name that tree.
QString developmentGameDirectory(const QString &executableDirectory);

// The directories listed by a Steam library index (steamapps/libraryfolders.vdf).
QStringList steamLibraryPaths(const QByteArray &libraryFolders);

} // namespace platform
