#include "app/basMain.h"

#include "app/CommandLine.h"
#include "app/HistoryCommand.h"
#include "app/ProgramIcon.h"
#include "app/QtAppShell.h"
#include "app/QueryCommand.h"
#include "app/ScreenFit.h"
#include "app/Translation.h"
#include "app/basGlobals.h"
#include "app/clsGRQuorvel.h"
#include "common/Prompter.h"
#include "platform/Display.h"
#include "platform/ProcessLauncher.h"
#include "platform/TerminationSignals.h"
#include "widgets/MessageBoxPrompter.h"

#include <QApplication>
#include <QSessionManager>
#include <QTextStream>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <tuple>

namespace {
QtAppShell *s_shell = nullptr;
QObject *s_run = nullptr; // lives as long as one run of the program
bool s_shuttingDown = false;
int s_shutdownPasses = 0;
bool s_startupDone = false;
bool s_endRequested = false;

const char usage[] = "Usage: grquorvel [--game-dir DIR] [-noStartupPing]\n"
                     "  --game-dir DIR   the Ghost Recon directory (default: this program's own)\n"
                     "  -noStartupPing   do not ping every server at start-up, now or later\n"
                     "  --tray           start hidden in the tray, without the start-up's "
                     "windows\n"
                     "  --version        print the program's name and version and end\n"
                     "       grquorvel --query [--json] [--file FILE] ADDR...\n"
                     "       grquorvel --query --lan [--json]\n"
                     "  --query          print the state of the given servers and end (--query "
                     "--help)\n"
                     "       grquorvel --history [--json] [--game-dir DIR] [--file FILE] [-] "
                     "ADDR...\n"
                     "  --history        print the kept history of the given servers and end "
                     "(--history --help)\n";

// A termination signal or the session's logout ends the program the way Quit does, with its
// save. Modal windows are closed first so no nested loop is left running over a released
// application object; start-up is let finish before the shutdown runs.
void endWhenPossible() {
    if (!s_endRequested || !gobjRoot)
        return;
    if (QWidget *modal = QApplication::activeModalWidget()) {
        modal->close();
        QTimer::singleShot(20, qApp, endWhenPossible);
        return;
    }
    if (s_startupDone)
        ShutdownProgram();
}

void requestEnd() {
    s_endRequested = true;
    endWhenPossible();
}

// The windows go before the application object: nothing that shows it outlives it.
void releaseRun() {
    if (s_shell)
        s_shell->releaseWindows();
    gobjRoot.reset();
}
} // namespace

bool shutdownInProgress() {
    return s_shuttingDown;
}

int shutdownPassCount() {
    return s_shutdownPasses;
}

void ShutdownProgram() {
    if (s_shuttingDown || !gobjRoot)
        return;
    s_shuttingDown = true;
    ++s_shutdownPasses;
    if (s_shell) {
        clsGRQuorvel &root = *gobjRoot;
        // Cancel gives up saving, but the program still ends: no invisible process is left.
        runWithRetry(root.prompter(), titles::error, [&] { root.Shutdown(*s_shell); });
    }
    // The way out may be a handler of the main window itself (its Quit button, its close box),
    // which cannot destroy its own window: the release follows as soon as that handler is done.
    if (s_run)
        QTimer::singleShot(0, s_run, releaseRun);
    else
        gobjRoot.reset();
    QCoreApplication::quit();
}

int runProgram(const StartupEnvironment &environment, Prompter &prompter,
               platform::ProcessLauncher &launcher, const Timing &timing,
               CommonDialog *commonDialog) {
    s_shuttingDown = false;
    // A quit left over from an earlier run in this process must not end this one.
    QCoreApplication::removePostedEvents(qApp, QEvent::Quit);
    s_shutdownPasses = 0;
    s_startupDone = false;
    s_endRequested = false;
    QApplication::setWindowIcon(programIcon());
    // The program ends through its shutdown alone: with the main window away in the tray, the
    // last other window closing must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    gobjRoot = std::make_unique<clsGRQuorvel>(environment, prompter, launcher, timing);
    int status = 0;
    {
        // Connections and timers made for this run only.
        QObject run;
        s_run = &run;
        platform::TerminationSignals termination;
        QObject::connect(&termination, &platform::TerminationSignals::terminationRequested, &run,
                         [] { requestEnd(); });
#ifndef QT_NO_SESSIONMANAGER
        QObject::connect(qApp, &QGuiApplication::commitDataRequest, &run,
                         [](QSessionManager &) { requestEnd(); });
#endif
        // However the event loop is left, the preferences are saved on the way out.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, &run, [] { ShutdownProgram(); });

        // Every window opens within the screen, whatever the desktop's scale.
        ScreenFit screenFit;
        qApp->installEventFilter(&screenFit);

        QtAppShell shell(*gobjRoot, commonDialog);
        s_shell = &shell;
        switch (gobjRoot->Startup(shell)) {
        case clsGRQuorvel::StartupResult::Running:
            s_startupDone = true;
            if (s_endRequested)
                QTimer::singleShot(0, &run, endWhenPossible);
            status = QApplication::exec();
            break;
        case clsGRQuorvel::StartupResult::AlreadyRunning:
            QTextStream(stderr) << "grquorvel: already running on " << gobjRoot->RootDirectory()
                                << "; that copy's window was brought to the front\n";
            status = 0;
            break;
        case clsGRQuorvel::StartupResult::NoGame:
            // A directory given on the command line that holds no game is a usage error.
            status = environment.gameDirectory.isEmpty() ? 1 : 2;
            break;
        case clsGRQuorvel::StartupResult::Ended:
            status = 1;
            break;
        }
        releaseRun();
        s_shell = nullptr;
        s_run = nullptr;
    }
    return status;
}

namespace {
// Qt's own options, which Qt also takes with two dashes.
bool isQtOption(const QByteArray &arg) {
    static const QByteArrayList names =
        QByteArray("platform platformpluginpath platformtheme plugin qwindowgeometry qwindowicon "
                   "qwindowtitle reverse session display geometry style stylesheet widgetcount "
                   "qmljsdebugger nograb dograb sync name title")
            .split(' ');
    QByteArray name = arg.mid(2);
    if (const qsizetype value = name.indexOf('='); value >= 0)
        name.truncate(value);
    return names.contains(name);
}

// What the command line asks for before any window: the usage, the version, or nothing.
enum class EarlyAnswer { None, Help, Version, BadUsage };

// Reads the window program's command line once; `gameDirectory` takes the --game-dir option.
EarlyAnswer earlyAnswer(int argc, char **argv, QString &gameDirectory) {
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == u"--help" || arg == u"-h")
            return EarlyAnswer::Help;
        if (arg == u"--version")
            return EarlyAnswer::Version;
        if (arg == u"--tray")
            continue;
        if (const std::optional<QString> dir = readGameDirOption(args, i)) {
            if (dir->isEmpty())
                return EarlyAnswer::BadUsage;
            gameDirectory = *dir;
            continue;
        }
        // Long options are ours; single-dash words go on to the game's switch and to Qt.
        if (arg.startsWith(u"--") && !isQtOption(arg.toLocal8Bit()))
            return EarlyAnswer::BadUsage;
    }
    return EarlyAnswer::None;
}
// Without any window system Qt ends the process with an abort; the player gets one line instead.
QString whyNoDisplay(int argc, char **argv) {
    if (platform::windowSystemNamed())
        return {};
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "-platform" || arg == "--platform" || arg.startsWith("-platform=") ||
            arg.startsWith("--platform="))
            return {};
    }
    return QStringLiteral("no display to show the window on (neither DISPLAY nor "
                          "WAYLAND_DISPLAY is set)");
}

void tellNoWindow(const QString &why) {
    QTextStream(stderr) << "grquorvel: cannot open its window: " << why
                        << "; --query and --history work without one\n";
}

// While the application connects to the window system: a display named but not reachable ends
// in Qt's fatal message, which becomes the one line. The window system's own warnings are held
// back meanwhile, and passed on when the connection was made after all.
QtMessageHandler s_previousHandler = nullptr;
QList<std::tuple<QtMsgType, QByteArray, QString>> s_heldBack;

void whileConnecting(QtMsgType type, const QMessageLogContext &context, const QString &message) {
    if (type == QtFatalMsg) {
        QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
        if (display.isEmpty())
            display = qEnvironmentVariable("DISPLAY");
        tellNoWindow(display.isEmpty()
                         ? QStringLiteral("no window system could be reached")
                         : QStringLiteral("the display %1 could not be reached").arg(display));
        std::_Exit(1);
    }
    if (context.category && qstrncmp(context.category, "qt.qpa", 6) == 0) {
        s_heldBack.append({type, QByteArray(context.category), message});
        return;
    }
    s_previousHandler(type, context, message);
}

void connectedAfterAll() {
    qInstallMessageHandler(s_previousHandler);
    for (const auto &[type, category, message] : std::as_const(s_heldBack)) {
        const QMessageLogContext context(nullptr, 0, nullptr, category.constData());
        s_previousHandler(type, context, message);
    }
    s_heldBack.clear();
}
} // namespace

int Main(int argc, char **argv) {
    // The command-line query and history need no display: they run before any window system
    // is touched.
    for (int i = 1; i < argc; ++i) {
        const bool query = qstrcmp(argv[i], "--query") == 0;
        if (!query && qstrcmp(argv[i], "--history") != 0)
            continue;
        QCoreApplication app(argc, argv);
        QStringList args = QCoreApplication::arguments().mid(1);
        args.removeOne(QString::fromLatin1(argv[i]));
        QTextStream in(stdin);
        QTextStream out(stdout);
        QTextStream err(stderr);
        if (query)
            return runQueryCommand(args, in, out, err);
        StartupEnvironment program;
        program.executableDirectory = QCoreApplication::applicationDirPath();
        program.gameSearch = platform::GameSearchPlaces::fromEnvironment();
        return runHistoryCommand(args, program, in, out, err);
    }
    // So do the usage and the version.
    QString gameDirectory;
    switch (earlyAnswer(argc, argv, gameDirectory)) {
    case EarlyAnswer::Help:
        QTextStream(stdout) << usage;
        return 0;
    case EarlyAnswer::Version:
        QTextStream(stdout) << "GRQuorvel " << clsGRQuorvel::VersionString() << '\n';
        return 0;
    case EarlyAnswer::BadUsage:
        QTextStream(stderr) << usage;
        return 2;
    case EarlyAnswer::None:
        break;
    }
    if (const QString why = whyNoDisplay(argc, argv); !why.isEmpty()) {
        tellNoWindow(why);
        return 1;
    }
    s_previousHandler = qInstallMessageHandler(whileConnecting);
    QApplication app(argc, argv);
    connectedAfterAll();
    QApplication::setApplicationName(QStringLiteral("GRQuorvel"));
    QApplication::setApplicationVersion(clsGRQuorvel::VersionString());
    // Lets the desktop match the windows to the program's desktop entry and icon.
    QGuiApplication::setDesktopFileName(applicationId());
    installTranslation(QLocale::system());

    StartupEnvironment environment;
    environment.executableDirectory = QCoreApplication::applicationDirPath();
    environment.gameSearch = platform::GameSearchPlaces::fromEnvironment();
    environment.gameDirectory = gameDirectory;
    environment.commandLine = QCoreApplication::arguments().mid(1);

    MessageBoxPrompter prompter;
    platform::DetachedProcessLauncher launcher;
    return runProgram(environment, prompter, launcher);
}
