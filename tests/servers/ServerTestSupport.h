#pragma once

#include "app/clsGRQuorvel.h"
#include "platform/ProcessLauncher.h"
#include "servers/clsGRServers.h"
#include "servers/clsGlobalGRControls.h"
#include "support/GameDir.h"
#include "support/ScriptedPrompter.h"

#include <memory>

// An application object on a throw-away game directory with its shared objects (slot pool,
// server collection, game options file) the way the program has them after start-up, without
// any window.
struct ServerEngine {
    explicit ServerEngine(Timing timing = {}) {
        StartupEnvironment environment;
        environment.gameDirectory = gameDir.root();
        root = std::make_unique<clsGRQuorvel>(environment, prompter, launcher, timing);
        root->createObjects();
    }
    clsGRServers &servers() const { return *root->GRServers(); }
    clsGlobalGRControls &pool() const { return *root->GRServerControls(); }
    // Adds a server the way the add command does: a free slot first, then AddServer.
    clsGRServer *add(const QString &ip, const QString &name = {}) const {
        const std::optional<int> slot = pool().fnNextTimerAndWinsock();
        return servers().AddServer(ip, name, QString(), slot.value_or(-1));
    }

    GameDir gameDir;
    ScriptedPrompter prompter;
    platform::DetachedProcessLauncher launcher;
    std::unique_ptr<clsGRQuorvel> root;
};
