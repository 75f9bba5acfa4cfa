#pragma once

#include "app/clsGRQuorvel.h"
#include "options/clsOptions.h"
#include "platform/ProcessLauncher.h"
#include "servers/clsGRServers.h"
#include "servers/clsGlobalGRControls.h"
#include "support/GameDir.h"
#include "support/ProgramRun.h"
#include "support/ScriptedPrompter.h"
#include "voice/clsRWServers.h"

#include <memory>

// The application object on a throw-away game directory with its shared objects (slot pool,
// collections, preferences, game options file) as start-up makes them, without any window.
class CoreApp {
public:
    // A game directory without the game's options file or a preferences file.
    static constexpr GameDir::Contents noFiles = {.optionsXml = false, .preferences = false};

    explicit CoreApp(GameDir::Contents contents = {}, const Timing &timing = {})
        : dir(contents) {
        root = std::make_unique<clsGRQuorvel>(startupOn(dir.root()), prompter, launcher, timing);
        root->createObjects();
    }

    clsOptions &options() const { return *root->Options(); }
    clsGRServers &servers() const { return *root->GRServers(); }
    clsGlobalGRControls &pool() const { return *root->GRServerControls(); }
    clsRWServers &channels() const { return *root->RWServers(); }
    QString preferencesPath() const { return root->PreferencesFileName(); }

    // Adds a server the way the add command does: a free slot first, then AddServer.
    clsGRServer *add(const QString &ip, const QString &name = {}) const {
        const std::optional<int> slot = pool().fnNextTimerAndWinsock();
        return servers().AddServer(ip, name, QString(), slot.value_or(-1));
    }
    // Every server as "address|name|password|ping", then " stale" and " game" when so flagged.
    QStringList serverRows() const {
        QStringList rows;
        for (const clsGRServer &s : servers())
            rows << QStringLiteral("%1|%2|%3|%4%5%6")
                        .arg(s.IP(), s.Name(), s.Password(), QString::number(s.Ping()),
                             s.PingStale() ? QStringLiteral(" stale") : QString(),
                             s.LoadedFromGame() ? QStringLiteral(" game") : QString());
        return rows;
    }
    // Every voice channel as "address|name|password".
    QStringList channelRows() const {
        QStringList rows;
        for (const clsRWServer &s : channels())
            rows << QStringLiteral("%1|%2|%3").arg(s.IP(), s.Name(), s.Password());
        return rows;
    }
    void writePreferences(const QByteArray &xml) const {
        dir.write(QStringLiteral("GRQuorvelOptions.xml"), xml);
    }
    void load() const { options().Load(preferencesPath()); }

    GameDir dir;
    ScriptedPrompter prompter;
    platform::DetachedProcessLauncher launcher;
    std::unique_ptr<clsGRQuorvel> root;
};
