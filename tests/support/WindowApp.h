#pragma once

#include "app/QtAppShell.h"
#include "app/clsGRQuorvel.h"
#include "app/frmMain.h"
#include "platform/ProcessLauncher.h"
#include "servers/clsGRServers.h"
#include "servers/clsGlobalGRControls.h"
#include "servers_tab/ctlGRServers.h"
#include "support/GameDir.h"
#include "support/ScriptedPrompter.h"

#include <QTabWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// The whole program up to its main window on a throw-away game directory, started with
// -noStartupPing and the given timings. `prepare` runs on the directory before start-up.
struct WindowApp {
    struct Settings {
        Timing timing;
        GameDir::Contents contents = {.optionsXml = false};
        std::function<void(GameDir &)> prepare = {};
        bool serversInFront = true;
        CommonDialog *commonDialog = nullptr; // the main window takes it
    };

    explicit WindowApp(const Settings &settings)
        : dir(settings.contents) {
        if (settings.prepare)
            settings.prepare(dir);
        StartupEnvironment env;
        env.executableDirectory = QStringLiteral("/nonexistent");
        env.gameDirectory = dir.root();
        env.commandLine = {QStringLiteral("-noStartupPing")};
        root = std::make_unique<clsGRQuorvel>(env, prompter, launcher, settings.timing);
        shell = std::make_unique<QtAppShell>(*root, settings.commonDialog);
        EXPECT_EQ(root->Startup(*shell), clsGRQuorvel::StartupResult::Running);
        main = shell->mainWindow();
        tab = main->serversPane();
        if (settings.serversInFront)
            main->tabs()->setCurrentIndex(frmMain::TabServers);
    }

    // Adds a server the way the add command does: a free slot first, then AddServer.
    clsGRServer *add(const QString &ip, const QString &name = {},
                     const QString &password = {}) const {
        const auto slot = root->GRServerControls()->fnNextTimerAndWinsock();
        return root->GRServers()->AddServer(ip, name, password, slot.value_or(-1));
    }

    GameDir dir;
    ScriptedPrompter prompter;
    platform::DetachedProcessLauncher launcher;
    std::unique_ptr<clsGRQuorvel> root;
    std::unique_ptr<QtAppShell> shell;
    frmMain *main = nullptr;
    ctlGRServers *tab = nullptr;
};
