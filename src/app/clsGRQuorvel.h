#pragma once

#include "common/KeyedCollection.h"
#include "common/Timing.h"
#include "platform/GameFinder.h"
#include "root/AppRoot.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class AppShell;
class Prompter;
class clsGlobalGRControls;
class clsGRServers;
class clsRWServers;
class clsOptions;
class clsOptionsXML;
class PreferencesSaver;
class clsTrackStats;
class clsPing;
class HistoryStore;
class InstanceLock;
class ProgramState;
class WatchEngine;
namespace platform {
class ProcessLauncher;
}

// Where the program was started and how.
struct StartupEnvironment {
    QString executableDirectory; // the running executable's directory
    QString gameDirectory;       // --game-dir, overriding the executable's directory
    QStringList commandLine;     // every argument, for the -noStartupPing and --tray switches
    // Where to look for the game when neither of the two directories above holds it.
    platform::GameSearchPlaces gameSearch;

    // Started with --tray (by the desktop session): the main window waits in the tray and the
    // start-up's own windows are left out.
    bool startsInTray() const { return commandLine.contains(QStringLiteral("--tray")); }
};

// The application object: owns every shared object of the program for the whole run.
class clsGRQuorvel final : public AppRoot {
public:
    clsGRQuorvel(StartupEnvironment environment, Prompter &prompter,
                 platform::ProcessLauncher &launcher, Timing timing = {});
    ~clsGRQuorvel();
    clsGRQuorvel(const clsGRQuorvel &) = delete;
    clsGRQuorvel &operator=(const clsGRQuorvel &) = delete;

    enum class StartupResult { Running, Ended, NoGame, AlreadyRunning };
    // Builds everything in its fixed order and shows the main window. `NoGame` when there is no
    // game where it looked, `Ended` when the program must end now for another reason (the
    // player gave up on a failing step or on choosing a game), `AlreadyRunning` when another
    // copy runs on the same game directory (it was asked to show its window and nothing was
    // written here).
    StartupResult Startup(AppShell &shell);
    // Saves the preferences and unloads the windows.
    void Shutdown(AppShell &shell);

    clsGRServers *GRServers() const override { return m_grServers.get(); }
    clsRWServers *RWServers() const override { return m_rwServers.get(); }
    clsGlobalGRControls *GRServerControls() const override { return m_pool.get(); }
    clsOptions *Options() const override { return m_options.get(); }
    clsOptionsXML *OptionsXML() const override { return m_optionsXml.get(); }
    clsPing *Ping() const override { return m_ping.get(); }
    // The stats recorder; null until start-up made it.
    clsTrackStats *TrackStats() const { return m_trackStats.get(); }
    HistoryStore *History() const override { return m_history.get(); }
    QString HistoryFileName() const;
    // Watches and buddies, kept in the history file.
    WatchEngine *Watches() const override { return m_watches.get(); }
    ProgramState *State() const override { return m_state.get(); }
    const KeyedCollection<QString> &Tips() const { return m_tips; }
    const QString &RootDirectory() const override { return m_rootDirectory; }
    QString StatsCacheFileName() const;
    QString PreferencesFileName() const;
    // How the windows were left, beside the preferences.
    QString StateFileName() const;
    static QString VersionString();

    Prompter &prompter() const override { return m_prompter; }
    platform::ProcessLauncher &launcher() const override { return m_launcher; }
    const Timing &timing() const override { return m_timing; }
    const StartupEnvironment &environment() const { return m_environment; }

    void CreateTips();

    // The shared objects without any window: the root directory, the slot pool, the game
    // options file, the preferences and both collections. Start-up builds the same objects in
    // its own order; tools and tests that need no windows use this instead.
    void createObjects();
    // The pinger (start-up makes it with the slot pool).
    void createPinger();
    // The watches and buddies, kept in the history database beside the preferences; they are
    // off for the run when that database cannot be opened.
    void createWatches();
    void serverRemoved(const QString &ip) override;
    // From now on the preferences are written soon after every change, not only at shutdown.
    void keepPreferencesSaved();
    // Null until start-up read the preferences.
    PreferencesSaver *preferencesSaver() const { return m_saver.get(); }

    // The game directory for an executable directory (and an optional override), always
    // ending with the native separator.
    static QString rootDirectoryFor(const StartupEnvironment &environment);
    // A directory as the root directory holds it: absolute, ending with the native separator.
    static QString asRootDirectory(const QString &directory);
    // Whether the game must be searched for: no directory given, and none beside the program.
    static bool needsGameSearch(const StartupEnvironment &environment);
    // The directory of every game the search finds, as the player is offered them.
    static QStringList foundGameDirectories(const platform::GameSearchPlaces &places);
    // The line that tells, on the standard error, where the game was looked for in vain.
    static QString gameNotFoundLine(const StartupEnvironment &environment);

private:
    void createSharedObjects();
    void createCollections();
    void openHistory();
    bool runStep(const std::function<void()> &step);
    // Start-up step 1 for a program that does not live beside the game: false when the player
    // gave up choosing between several games found.
    bool lookForTheGame(AppShell &shell);
    QString openWatchDatabase();

    // Released last, once everything else (the final write of the preferences included) is done.
    std::unique_ptr<InstanceLock> m_instanceLock;
    StartupEnvironment m_environment;
    Prompter &m_prompter;
    platform::ProcessLauncher &m_launcher;
    Timing m_timing;

    QString m_rootDirectory;
    std::unique_ptr<clsOptions> m_options;
    std::unique_ptr<ProgramState> m_state;
    KeyedCollection<QString> m_tips;
    std::unique_ptr<clsOptionsXML> m_optionsXml;
    std::unique_ptr<clsGlobalGRControls> m_pool;
    std::unique_ptr<clsPing> m_ping;
    std::unique_ptr<clsGRServers> m_grServers;
    std::unique_ptr<clsRWServers> m_rwServers;
    std::unique_ptr<clsTrackStats> m_trackStats;
    std::unique_ptr<HistoryStore> m_history;
    QString m_watchConnection;
    std::unique_ptr<WatchEngine> m_watches;
    std::unique_ptr<PreferencesSaver> m_saver;
};
