#include "app/clsGRQuorvel.h"

#include "app/AppShell.h"
#include "app/InstanceLock.h"
#include "common/Prompter.h"
#include "common/QuorvelError.h"
#include "common/TextRules.h"
#include "gameopts/clsOptionsXML.h"
#include "history/HistoryStore.h"
#include "options/PreferencesSaver.h"
#include "options/ProgramState.h"
#include "options/clsOptions.h"
#include "servers/GRQueryProtocol.h"
#include "servers/clsGRServers.h"
#include "servers/clsGlobalGRControls.h"
#include "servers/clsPing.h"
#include "stats/clsTrackStats.h"
#include "voice/clsRWServers.h"
#include "watch/WatchEngine.h"
#include "watch/WatchStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTextStream>

namespace {
// The project's version (major.minor.revision), the one the package carries too.
constexpr int versionMajor = QUORVEL_VERSION_MAJOR;
constexpr int versionMinor = QUORVEL_VERSION_MINOR;
constexpr int versionRevision = QUORVEL_VERSION_PATCH;

bool holdsGame(const QString &directory) {
    return !platform::gameExecutableIn(directory).isEmpty();
}
} // namespace

clsGRQuorvel::clsGRQuorvel(StartupEnvironment environment, Prompter &prompter,
                           platform::ProcessLauncher &launcher, Timing timing)
    : m_environment(std::move(environment))
    , m_prompter(prompter)
    , m_launcher(launcher)
    , m_timing(timing)
    , m_history(std::make_unique<HistoryStore>()) {}

clsGRQuorvel::~clsGRQuorvel() {
    // A write under way ends before what it was made from goes.
    m_saver.reset();
    m_watches.reset();
    if (!m_watchConnection.isEmpty())
        QSqlDatabase::removeDatabase(m_watchConnection);
    // What the last answers brought is written before anything else goes.
    m_history.reset();
    // Records first: releasing a record frees its slot in the pool.
    m_grServers.reset();
    m_rwServers.reset();
    m_trackStats.reset();
    m_options.reset();
    m_state.reset();
    m_tips.clear();
    m_ping.reset();
    m_optionsXml.reset();
    m_pool.reset();
}

QString clsGRQuorvel::rootDirectoryFor(const StartupEnvironment &environment) {
    QString dir = environment.gameDirectory.isEmpty() ? environment.executableDirectory
                                                      : environment.gameDirectory;
    if (environment.gameDirectory.isEmpty())
        if (const QString fixed = platform::developmentGameDirectory(dir); !fixed.isEmpty())
            return fixed;
    return asRootDirectory(dir);
}

QString clsGRQuorvel::asRootDirectory(const QString &directory) {
    QString dir =
        QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(directory).absoluteFilePath()));
    if (!dir.endsWith(QDir::separator()))
        dir += QDir::separator();
    return dir;
}

QStringList clsGRQuorvel::foundGameDirectories(const platform::GameSearchPlaces &places) {
    QStringList directories;
    for (const QString &game : platform::findGames(places))
        directories << QDir::toNativeSeparators(QFileInfo(game).absolutePath());
    return directories;
}

bool clsGRQuorvel::needsGameSearch(const StartupEnvironment &environment) {
    return environment.gameDirectory.isEmpty() && !holdsGame(rootDirectoryFor(environment));
}

QString clsGRQuorvel::gameNotFoundLine(const StartupEnvironment &environment) {
    const QString given = environment.gameDirectory;
    if (given.isEmpty())
        return QStringLiteral("grquorvel: Ghost Recon not found in %1 nor in the usual places; "
                              "name its directory with --game-dir")
            .arg(QDir::toNativeSeparators(rootDirectoryFor(environment)));
    if (!QFileInfo(given).isDir())
        return QStringLiteral("grquorvel: --game-dir %1: no such directory").arg(given);
    return QStringLiteral("grquorvel: --game-dir %1 holds no GhostRecon.exe").arg(given);
}

bool clsGRQuorvel::lookForTheGame(AppShell &shell) {
    shell.setBusy(true);
    const QStringList directories = foundGameDirectories(m_environment.gameSearch);
    shell.setBusy(false);
    if (directories.size() == 1) {
        m_rootDirectory = asRootDirectory(directories.front());
    } else if (directories.size() > 1) {
        const std::optional<QString> chosen = shell.chooseGame(directories);
        if (!chosen)
            return false;
        m_rootDirectory = asRootDirectory(*chosen);
    }
    return true;
}

QString clsGRQuorvel::StatsCacheFileName() const {
    return m_rootDirectory + QStringLiteral("GRQuorvelCache.dat");
}

QString clsGRQuorvel::PreferencesFileName() const {
    return m_rootDirectory + QStringLiteral("GRQuorvelOptions.xml");
}

QString clsGRQuorvel::StateFileName() const {
    return m_rootDirectory + ProgramState::fileName();
}

QString clsGRQuorvel::HistoryFileName() const {
    return m_rootDirectory + HistoryStore::fileName();
}

QString clsGRQuorvel::VersionString() {
    return QString::number(versionMajor) + u'.' + formatZeros(versionMinor, 2) + u'.' +
           formatZeros(versionRevision, 3);
}

void clsGRQuorvel::CreateTips() {
    static const char *const texts[] = {
        QT_TRANSLATE_NOOP(
            "clsGRQuorvel",
            "If after you use the quorvel to join a ghost recon server you would like to return "
            "to select another, use ALT-F4 to exit the current server. This will shut down the "
            "game returning you to the quorvel server list bypassing the in-game multiplayer "
            "server list."),
        QT_TRANSLATE_NOOP(
            "clsGRQuorvel",
            "You can disable the 'Ping servers on Startup' feature in the options. This will "
            "decrease the program startup time if you have a large number of dead hosts in your "
            "server list."),
        QT_TRANSLATE_NOOP(
            "clsGRQuorvel",
            "The game options tab allows you to change values in the options.xml file not "
            "available via the in-game user interface."),
        QT_TRANSLATE_NOOP(
            "clsGRQuorvel",
            "The names of game servers entered persist between sessions, even if the host goes "
            "down, unlike the in-game server list. Oh, and this one won't magically forget them "
            "either. ;-)"),
        QT_TRANSLATE_NOOP(
            "clsGRQuorvel",
            "Only one person needs to have the quorvel running to capture the stats of all "
            "players in the game"),
        QT_TRANSLATE_NOOP(
            "clsGRQuorvel",
            "Ghost Recon servers entered in the game are automatically imported upon startup."),
        QT_TRANSLATE_NOOP(
            "clsGRQuorvel",
            "Some ladders restrict the use of custom color reticules. Use the default colors "
            "button in game options to reset them to stock values if required after they have "
            "been changed."),
        QT_TRANSLATE_NOOP(
            "clsGRQuorvel",
            "Use the game options tab to enter your game name before launch. Not only will you be "
            "able to enter 15 character names (vs. the game's limit of 14), all names entered "
            "will be saved for future use."),
        QT_TRANSLATE_NOOP(
            "clsGRQuorvel",
            "The use of the Pound or Yen character in your game name will lag or crash Ghost "
            "Recon servers."),
        QT_TRANSLATE_NOOP("clsGRQuorvel",
                          "Right click on list items to access functions available for that item."),
        QT_TRANSLATE_NOOP(
            "clsGRQuorvel",
            "The Roger Wilco tab allows you to enter a list of your favorite RW channels and name "
            "them for easy reference. Double click list entries to quickly jump between channels."),
        QT_TRANSLATE_NOOP(
            "clsGRQuorvel",
            "You can save names for Ghost Recon servers that are not able to be probed (most "
            "likely because the server is behind an improperly configured firewall)"),
    };
    m_tips.clear();
    int i = 0;
    for (const char *text : texts)
        m_tips.add(QStringLiteral("Tip") + QString::number(i++),
                   QCoreApplication::translate("clsGRQuorvel", text));
}

void clsGRQuorvel::createSharedObjects() {
    m_pool = std::make_unique<clsGlobalGRControls>(*this);
    createPinger();
    m_optionsXml = std::make_unique<clsOptionsXML>(m_rootDirectory);
    m_options = std::make_unique<clsOptions>();
    m_options->setParent(this);
    m_state = std::make_unique<ProgramState>(m_rootDirectory + ProgramState::fileName());
}

void clsGRQuorvel::createPinger() {
    clsPing::Settings settings;
    settings.timeoutMs = m_timing.pingTimeoutMs;
    // Where no ICMP socket is permitted, the status query's round trip stands in.
    settings.probe = grquery::request();
    settings.probePort = grquery::port;
    m_ping = std::make_unique<clsPing>(settings, [this](const QString &ip) {
        return m_grServers ? m_grServers->Item(ip) : nullptr;
    });
}

void clsGRQuorvel::createCollections() {
    m_grServers = std::make_unique<clsGRServers>();
    m_grServers->setParent(this);
    m_rwServers = std::make_unique<clsRWServers>();
    m_rwServers->setParent(this);
}

// The watches' own connection to the history file, for when the history was never opened.
QString clsGRQuorvel::openWatchDatabase() {
    static int opened = 0;
    const QString name = QStringLiteral("watches-%1").arg(++opened);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(HistoryFileName());
        if (db.open())
            QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    }
    return name;
}

void clsGRQuorvel::createWatches() {
    if (m_watches || !m_pool)
        return;
    // They keep their tables in the history file, through the history's own connection; when
    // the history could not be kept this run, neither can they.
    QString connection = m_history->connectionName();
    if (connection.isEmpty() && m_history->offReason().isEmpty()) {
        if (m_watchConnection.isEmpty())
            m_watchConnection = openWatchDatabase();
        connection = m_watchConnection;
    }
    WatchEngine::Settings settings;
    settings.requeryMs = m_timing.listTickMs * m_timing.requeryEveryTicks;
    settings.notifyEveryMs = m_timing.notifyEveryMs;
    m_watches =
        std::make_unique<WatchEngine>(*this, std::make_unique<WatchStore>(connection), settings);
    QObject::connect(m_pool.get(), &clsGlobalGRControls::queryEnded, m_watches.get(),
                     &WatchEngine::queryEnded);
}

void clsGRQuorvel::serverRemoved(const QString &ip) {
    if (m_watches)
        m_watches->serverRemoved(ip);
}

void clsGRQuorvel::keepPreferencesSaved() {
    if (m_saver || !m_options)
        return;
    m_saver = std::make_unique<PreferencesSaver>(*m_options, PreferencesFileName(), m_prompter,
                                                 m_timing.saveDelayMs);
    const auto changed = [this] {
        if (m_saver)
            m_saver->schedule();
    };
    m_options->changes().listen(changed);
    if (m_grServers)
        m_grServers->changes().listen(changed);
    if (m_rwServers)
        m_rwServers->changes().listen(changed);
}

void clsGRQuorvel::createObjects() {
    m_rootDirectory = rootDirectoryFor(m_environment);
    createSharedObjects();
    createCollections();
}

void clsGRQuorvel::openHistory() {
    // A history that cannot be kept never stops the program: the store stays off and says why.
    if (m_history->open(HistoryFileName()))
        m_history->prune();
    m_history->attach(m_pool.get(), [this](const QString &address) -> const clsGRServer * {
        return m_grServers ? m_grServers->Item(address) : nullptr;
    });
}

bool clsGRQuorvel::runStep(const std::function<void()> &step) {
    return runWithRetry(m_prompter, titles::error, step);
}

clsGRQuorvel::StartupResult clsGRQuorvel::Startup(AppShell &shell) {
    // 1. Root directory.
    m_rootDirectory = rootDirectoryFor(m_environment);
    // An installed program does not live beside the game: it looks in the usual places.
    if (needsGameSearch(m_environment) && !lookForTheGame(shell))
        return StartupResult::Ended;

    // 2. The game must be here (its name in any letter case). Whoever started the program from
    // a shell is told which directory was looked at, too.
    if (!holdsGame(m_rootDirectory)) {
        QTextStream(stderr) << gameNotFoundLine(m_environment) << Qt::endl;
        m_prompter.ask(QCoreApplication::translate(
                           "clsGRQuorvel", "Please place the 'GRQuorvel.exe' in your Ghost Recon "
                                           "Directory and run it from there"),
                       QCoreApplication::translate("clsGRQuorvel", "Ghost Recon Not Found"),
                       Buttons::Ok, Icon::Critical);
        return StartupResult::NoGame;
    }

    // One copy per game directory: a second start shows the first copy and ends before it
    // writes anything.
    m_instanceLock = std::make_unique<InstanceLock>(m_rootDirectory);
    switch (m_instanceLock->acquire()) {
    case InstanceLock::Result::HeldElsewhere:
        m_instanceLock->askHolderToShow();
        m_instanceLock.reset();
        return StartupResult::AlreadyRunning;
    case InstanceLock::Result::Unavailable: // nothing can be written here anyway
    case InstanceLock::Result::Acquired:
        break;
    }
    QObject::connect(m_instanceLock.get(), &InstanceLock::showRequested, m_instanceLock.get(),
                     [&shell] { shell.bringToFront(); });

    // 3. The default stats directory (a file of that name counts as present).
    const bool statsOk = runStep([this] {
        const QString stats = m_rootDirectory + QStringLiteral("Stats");
        if (!QFileInfo::exists(stats) && !QDir().mkdir(stats))
            throw QuorvelError(QCoreApplication::translate("clsGRQuorvel",
                                                           "Path/File access error: could not "
                                                           "create %1")
                                   .arg(QDir::toNativeSeparators(stats)));
    });
    if (!statsOk)
        return StartupResult::Ended;

    // 4. Busy from here until the main window shows.
    shell.setBusy(true);
    struct BusyGuard {
        AppShell &shell;
        ~BusyGuard() { shell.setBusy(false); }
    } busyGuard{shell};

    const std::function<void()> steps[] = {
        // 5. Tips.
        [this] { CreateTips(); },
        // 6-7. No hidden window is needed for the slot pool; let pending events run once.
        [&shell] { shell.processEvents(); },
        // 8. Pool, pinger, game options file, preferences; the servers' history (beside the
        // preferences, before the first query) and the watches kept in it.
        [this] {
            createSharedObjects();
            openHistory();
            createWatches();
        },
        // 9. The main window, hidden, whose stats timer drives the recorder.
        [this, &shell] {
            shell.createMainWindow();
            m_trackStats =
                std::make_unique<clsTrackStats>(m_rootDirectory, StatsCacheFileName(), *m_options);
            m_trackStats->setTimerControl(shell.statsTimer());
        },
        // 10. The two collections.
        [this] { createCollections(); },
        // 11. Preferences (which also import the game's own server list); from here on every
        // change is written soon after it is made.
        [this] {
            m_options->Load(PreferencesFileName());
            keepPreferencesSaved();
        },
        // 12. Tip of the day (not for a start in the tray, which opens no window).
        [this, &shell] {
            if (m_options->ShowTips() && !m_environment.startsInTray()) {
                shell.setBusy(false);
                shell.showTipsModal();
                shell.setBusy(true);
            }
        },
        // 13. Query every server.
        [this] { m_grServers->RefreshAllServerData(); },
        // 14. The switch turns the start-up ping off for good (it is saved at shutdown).
        [this] {
            for (const QString &arg : m_environment.commandLine) {
                if (arg.contains(QStringLiteral("-noStartupPing"))) {
                    m_options->setPingGRServersOnStartup(false);
                    break;
                }
            }
        },
        // 15. Start-up ping (again not in the tray).
        [this, &shell] {
            if (m_options->PingGRServersOnStartup() && !m_environment.startsInTray())
                shell.showPingAllModal();
        },
        // 16. Show the main window, or keep it in the tray.
        [this, &shell] {
            if (m_environment.startsInTray())
                shell.keepMainWindowInTray();
            else
                shell.showMainWindow();
        },
    };
    for (const auto &step : steps) {
        if (!runStep(step))
            return StartupResult::Ended;
    }
    return StartupResult::Running;
}

void clsGRQuorvel::Shutdown(AppShell &shell) {
    // A name typed without Enter counts: the way out may not move the focus (the menu, a signal).
    shell.commitEdits();
    // The final write comes after any earlier one still under way.
    if (m_saver)
        m_saver->stop();
    if (m_options)
        m_options->Save(PreferencesFileName());
    if (m_options)
        m_options->setParent(nullptr);
    if (m_grServers)
        m_grServers->setParent(nullptr);
    shell.unloadMainWindow();
}
