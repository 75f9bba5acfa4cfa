#pragma once

#include "app/clsGRQuorvel.h"
#include "platform/ProcessLauncher.h"
#include "servers/clsGRServers.h"
#include "servers/clsGlobalGRControls.h"
#include "support/ScriptedPrompter.h"

#include <memory>

// An application object with only the slot pool and the server collection, the way the
// program has them after start-up, without windows or files.
struct ServerEngine {
    explicit ServerEngine(Timing timing = {}) {
        root = std::make_unique<clsGRQuorvel>(StartupEnvironment{}, prompter, launcher, timing);
        root->createQueryPool();
        root->createServerCollection();
    }
    clsGRServers &servers() const { return *root->GRServers(); }
    clsGlobalGRControls &pool() const { return *root->GRServerControls(); }
    // Adds a server the way the add command does: a free slot first, then AddServer.
    clsGRServer *add(const QString &ip, const QString &name = {}) const {
        const std::optional<int> slot = pool().fnNextTimerAndWinsock();
        return servers().AddServer(ip, name, QString(), slot.value_or(-1));
    }

    ScriptedPrompter prompter;
    platform::DetachedProcessLauncher launcher;
    std::unique_ptr<clsGRQuorvel> root;
};
