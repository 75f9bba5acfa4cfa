// What the program costs while the player does something else: processor time and queries
// sent in an idle stretch (a minute by default) with 500 servers, for the main window in front
// on the servers tab, minimized without watches, and minimized with 5 watched servers.
//
//   QT_QPA_PLATFORM=offscreen bench_idle [SECONDS]
//
// The servers are served by grq-sim on consecutive addresses from 127.42.0.1. Every query is
// one datagram, so the queries ended in a stretch are the datagrams it sent.

#include "app/QtAppShell.h"
#include "app/clsGRQuorvel.h"
#include "app/frmMain.h"
#include "common/Prompter.h"
#include "platform/ProcessLauncher.h"
#include "servers/clsGRServers.h"
#include "servers/clsGlobalGRControls.h"
#include "servers_tab/ctlGRServers.h"
#include "watch/WatchEngine.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>

#include <sys/resource.h>

namespace {
class SilentPrompter : public Prompter {
public:
    Answer ask(const QString &text, const QString &title, Buttons, Icon) override {
        std::fprintf(stderr, "box: %s: %s\n", qPrintable(title), qPrintable(text));
        return Answer::Cancel;
    }
};

double cpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}
} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 60;
    constexpr int count = 500;

    QProcess sim;
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(QStringLiteral(QUORVEL_BINARY_DIR "/tools/grq-sim/grq-sim"),
              {QStringLiteral("--count"), QString::number(count), QStringLiteral("--first"),
               QStringLiteral("127.42.0.1")});
    if (!sim.waitForReadyRead(10000)) {
        std::fprintf(stderr, "grq-sim did not start\n");
        return 1;
    }

    QTemporaryDir dir;
    QFile game(dir.filePath(QStringLiteral("GhostRecon.exe")));
    if (!game.open(QIODevice::WriteOnly))
        return 1;
    game.close();
    QFile prefs(dir.filePath(QStringLiteral("GRQuorvelOptions.xml")));
    if (!prefs.open(QIODevice::WriteOnly))
        return 1;
    prefs.write("<options><ShowTips>False</ShowTips><PingOnStart>False</PingOnStart></options>");
    prefs.close();

    SilentPrompter prompter;
    platform::DetachedProcessLauncher launcher;
    StartupEnvironment env;
    env.gameDirectory = dir.path();
    env.commandLine = {QStringLiteral("-noStartupPing")};
    clsGRQuorvel root(env, prompter, launcher);
    QtAppShell shell(root);
    if (root.Startup(shell) != clsGRQuorvel::StartupResult::Running)
        return 1;
    frmMain &main = *shell.mainWindow();
    const quint32 first = QHostAddress(QStringLiteral("127.42.0.1")).toIPv4Address();
    QStringList ips;
    for (int i = 0; i < count; ++i) {
        const QString ip = QHostAddress(first + quint32(i)).toString();
        const auto slot = root.GRServerControls()->fnNextTimerAndWinsock();
        root.GRServers()->AddServer(ip, {}, {}, slot.value_or(-1));
        ips << ip;
    }
    main.serversPane()->RefreshList();
    main.tabs()->setCurrentIndex(frmMain::TabServers);
    root.GRServers()->RefreshAllServerData();

    int queries = 0;
    QObject::connect(root.GRServerControls(), &clsGlobalGRControls::queryEnded, [&] { ++queries; });
    QTest::qWait(5000); // the first round settles

    const auto stretch = [&](const char *what) {
        QTest::qWait(root.timing().queryWindowMs); // what is on its way arrives
        queries = 0;
        const double cpu = cpuMs();
        QElapsedTimer wall;
        wall.start();
        // A plain event loop: the test library's wait would wake the process every few ms.
        QEventLoop idle;
        QTimer::singleShot(seconds * 1000, &idle, &QEventLoop::quit);
        idle.exec();
        const double perMinute = 60000.0 / double(wall.elapsed());
        std::printf("%-40s %8.0f datagrams/min %8.1f ms CPU/min\n", what, queries * perMinute,
                    (cpuMs() - cpu) * perMinute);
        std::fflush(stdout);
    };
    stretch("in front, servers tab");
    main.showMinimized();
    stretch("minimized, no watches");
    for (int i = 0; i < 5; ++i)
        root.Watches()->setWatch({.address = ips[i * 97], .answersAgain = true});
    stretch("minimized, 5 watches");
    main.showNormal();
    sim.kill();
    sim.waitForFinished();
    return 0;
}
