#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Starting the program with the player's desktop session: on freedesktop desktops an entry in
// the user's autostart directory, on Windows the user's Run key. The entry itself is the
// choice, so whatever turned it off (the desktop's own session settings included) is seen.
class SessionAutostart {
public:
    // Where the entry lives (a file, or the registry value's name on Windows).
    static QString entryLocation();
    // Whether the entry is there.
    static bool isOn();
    // Writes the entry, replacing any older one, so that the session starts `program` with
    // `arguments`. Throws QuorvelError saying why it could not be written.
    static void turnOn(const QString &program, const QStringList &arguments);
    // Removes the entry; nothing to do when there is none. Throws QuorvelError when it stays.
    static void turnOff();

    // How the entry's command line writes `program` and `arguments` (quoted as the session's
    // starter reads them back).
    static QString commandLine(const QString &program, const QStringList &arguments);
};

} // namespace platform
