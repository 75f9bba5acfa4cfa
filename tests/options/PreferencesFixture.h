#pragma once

#include "app/clsGRQuorvel.h"
#include "options/clsOptions.h"
#include "platform/ProcessLauncher.h"
#include "servers/clsGRServers.h"
#include "support/GameDir.h"
#include "support/ScriptedPrompter.h"
#include "voice/clsRWServers.h"

#include <memory>

// The application's objects on a temporary game directory, without any window: what the
// preferences read and write.
class PreferencesFixture {
public:
    explicit PreferencesFixture(GameDir::Contents contents = {.optionsXml = false,
                                                              .preferences = false})
        : dir(contents) {
        StartupEnvironment env;
        env.executableDirectory = QStringLiteral("/nonexistent");
        env.gameDirectory = dir.root();
        root = std::make_unique<clsGRQuorvel>(env, prompter, launcher);
        root->createObjects();
    }

    clsOptions &options() const { return *root->Options(); }
    clsGRServers &servers() const { return *root->GRServers(); }
    clsRWServers &channels() const { return *root->RWServers(); }
    QString preferencesPath() const { return root->PreferencesFileName(); }

    void writePreferences(const QByteArray &xml) const {
        dir.write(QStringLiteral("GRQuorvelOptions.xml"), xml);
    }
    void load() const { options().Load(preferencesPath()); }

    GameDir dir;
    ScriptedPrompter prompter;
    platform::DetachedProcessLauncher launcher;
    std::unique_ptr<clsGRQuorvel> root;
};
