#pragma once

#include "support/Scoped.h"

#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <optional>

// A throw-away game directory for a test: the stand-in GhostRecon.exe and, on request, the demo
// options.xml and missionstats.htm and a quiet preferences file.
class GameDir {
public:
    struct Contents {
        bool game = true;
        bool optionsXml = true;
        bool missionStats = false;
        // A preferences file that keeps start-up quiet: no tip of the day, no start-up ping.
        bool preferences = true;
    };
    GameDir();
    explicit GameDir(Contents contents);

    // The directory, ending with the separator.
    QString root() const;
    QString path(const QString &name) const { return root() + name; }

    void write(const QString &name, const QByteArray &bytes) const;
    QByteArray read(const QString &name) const;

    // Runs `action` with the directory read-only. Root writes anywhere, so a test run as root
    // acts as an ordinary user meanwhile.
    void whileReadOnly(const std::function<void()> &action) const;

    // Puts a stand-in Wine runner here and points the program at it for as long as this
    // directory lasts: it writes the arguments it gets, one a line, to the file `log` here and
    // then, with `thenRun`, runs them.
    void installRunner(const QString &log, bool thenRun = false);
    // The lines of the file `name` once it exists (empty after five seconds without it).
    QStringList waitForLines(const QString &name) const;

    // A file of the demo directory in the source tree.
    static QString demoFile(const QString &name);

private:
    QTemporaryDir m_dir;
    std::optional<ScopedEnv> m_runner;
};
