#pragma once

#include "common/Timing.h"

class QString;
class Prompter;
class clsGlobalGRControls;
class clsGRServers;
class clsRWServers;
class clsOptions;
class clsOptionsXML;
class clsPing;
class HistoryStore;
class ProgramState;
class WatchEngine;
namespace platform {
class ProcessLauncher;
}

// The application object as the collections, panes and windows see it through their `Parent`,
// `Root` or `RootObject`: the shared objects it owns and the one call back up. The application
// object outlives everything that holds this view, so a holder never asks whether it still
// exists.
class AppRoot {
public:
    // Each shared object is null until start-up has made it (the tabs are made before the
    // collections), and lives as long as the application object.
    virtual clsGRServers *GRServers() const = 0;
    virtual clsRWServers *RWServers() const = 0;
    virtual clsGlobalGRControls *GRServerControls() const = 0;
    virtual clsOptions *Options() const = 0;
    virtual clsOptionsXML *OptionsXML() const = 0;
    virtual clsPing *Ping() const = 0;
    // The servers' history: never null, but off until start-up opens it (and when it fails).
    virtual HistoryStore *History() const = 0;
    // Watches and buddies: null until start-up made them.
    virtual WatchEngine *Watches() const = 0;
    // The program's own choices beside the preferences: null until start-up made it.
    virtual ProgramState *State() const = 0;
    // The game directory, ending with the native separator.
    virtual const QString &RootDirectory() const = 0;

    virtual Prompter &prompter() const = 0;
    virtual platform::ProcessLauncher &launcher() const = 0;
    virtual const Timing &timing() const = 0;

    // A server left the collection.
    virtual void serverRemoved(const QString &ip) = 0;

protected:
    AppRoot() = default;
    ~AppRoot() = default;
    AppRoot(const AppRoot &) = delete;
    AppRoot &operator=(const AppRoot &) = delete;
};
