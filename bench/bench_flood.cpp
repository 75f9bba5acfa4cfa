// Two loopback neighbours flood the program's sockets with junk datagrams while it waits for
// answers: how late a 100 ms timer fires during the flood (in this process, with the query
// socket and the ping's stand-in socket flooded), and how long `grquorvel --query` of three
// servers takes while its own socket is flooded.
//
//   bench_flood [FLOOD_MS]     (default 5000)
//
// grq-sim serves 127.10.7.1 and 127.10.7.2, which answer and start a flood from 127.10.7.101
// and 127.10.7.102 at every request, and 127.10.7.3, which answers after 1 s.

#include "app/clsGRQuorvel.h"
#include "common/Prompter.h"
#include "platform/ProcessLauncher.h"
#include "servers/GRQueryProtocol.h"
#include "servers/clsGRServers.h"
#include "servers/clsGlobalGRControls.h"
#include "servers/clsPing.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class CancellingPrompter : public Prompter {
public:
    Answer ask(const QString &text, const QString &title, Buttons, Icon) override {
        std::fprintf(stderr, "box: %s: %s\n", qPrintable(title), qPrintable(text));
        return Answer::Cancel;
    }
};

const QStringList addresses = {QStringLiteral("127.10.7.1"), QStringLiteral("127.10.7.2"),
                               QStringLiteral("127.10.7.3")};

bool startSim(QProcess &sim, const QTemporaryDir &dir, int floodMs) {
    const QString path = dir.filePath(QStringLiteral("flood.json"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QStringLiteral(R"({"servers": [
        {"address": "127.10.7.1", "floodMs": %1, "from": "127.10.7.101"},
        {"address": "127.10.7.2", "floodMs": %1, "from": "127.10.7.102"},
        {"address": "127.10.7.3", "delayMs": 1000}]})")
                   .arg(floodMs)
                   .toUtf8());
    file.close();
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(QStringLiteral(QUORVEL_BINARY_DIR "/tools/grq-sim/grq-sim"),
              {QStringLiteral("--scenario"), path});
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 10000 && sim.state() != QProcess::NotRunning) {
        if (!sim.canReadLine() && !sim.waitForReadyRead(200))
            continue;
        while (sim.canReadLine())
            if (sim.readLine().trimmed() == "ready")
                return true;
    }
    return false;
}

void timerDuringFlood(int floodMs) {
    CancellingPrompter prompter;
    platform::DetachedProcessLauncher launcher;
    const QTemporaryDir gameDirectory;
    StartupEnvironment environment;
    environment.gameDirectory = gameDirectory.path();
    clsGRQuorvel root(environment, prompter, launcher);
    root.createObjects();
    clsGRServers &servers = *root.GRServers();
    for (const QString &ip : addresses)
        servers.AddServer(ip, QString(), QString(),
                          root.GRServerControls()->fnNextTimerAndWinsock().value());
    clsPing probe({.timeoutMs = 700,
                   .prefer = platform::IcmpEcho::Prefer::NoSocket,
                   .probe = grquery::request()},
                  nullptr);

    // A 100 ms timer; each tick notes how late it came. The first second has no flood, which
    // shows what this machine's load alone does to the timer.
    QElapsedTimer clock;
    qint64 previousUs = 0;
    std::vector<qint64> quietLateUs, floodLateUs;
    bool flooding = false;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(100);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed() / 1000;
        (flooding ? floodLateUs : quietLateUs)
            .push_back(qMax<qint64>(0, now - previousUs - 100000));
        previousUs = now;
    });
    clock.start();
    timer.start();
    while (clock.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);

    const qint64 floodStart = clock.elapsed();
    flooding = true;
    servers.RefreshAllServerData();
    probe.PingAddress(addresses[0], {}, {});
    qint64 settledUs = -1;
    while (clock.elapsed() < floodStart + floodMs + 500) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        if (settledUs < 0 && !servers.AnyWaiting())
            settledUs = clock.nsecsElapsed() / 1000 - floodStart * 1000;
    }
    int answered = 0;
    for (const clsGRServer &r : servers)
        answered += r.status() == clsGRServer::Answered;
    const auto &c = root.GRServerControls()->counters();
    const auto summary = [](std::vector<qint64> late) {
        if (late.empty())
            return QStringLiteral("no ticks");
        std::sort(late.begin(), late.end());
        return QStringLiteral("%1 ticks, late by median %2 ms, 90th %3 ms, at most %4 ms")
            .arg(late.size())
            .arg(late[late.size() / 2] / 1000.0, 0, 'f', 1)
            .arg(late[late.size() * 9 / 10] / 1000.0, 0, 'f', 1)
            .arg(late.back() / 1000.0, 0, 'f', 1);
    };
    std::printf("100 ms timer without a flood: %s\n", qPrintable(summary(quietLateUs)));
    std::printf("100 ms timer during a %d ms flood: %s\n", floodMs,
                qPrintable(summary(floodLateUs)));
    std::printf(
        "queries settled %.1f ms after the flood began (%d of 3 answered); the query socket "
        "read %llu datagrams (%llu dropped)\n",
        settledUs / 1000.0, answered, static_cast<unsigned long long>(c.received),
        static_cast<unsigned long long>(c.dropped));
    std::fflush(stdout);
}

void queryCommandDuringFlood() {
    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    program.start(QStringLiteral(QUORVEL_BINARY_DIR "/grquorvel"),
                  QStringList{QStringLiteral("--query")} + addresses);
    program.waitForFinished(60000);
    const qint64 ms = clock.elapsed();
    const QByteArray out = program.readAllStandardOutput();
    std::printf("grquorvel --query of 3 servers under the flood: %lld ms, exit %d, %lld answered\n",
                static_cast<long long>(ms), program.exitCode(),
                static_cast<long long>(out.count("\tAnswered\t")));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int floodMs = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 5000;
    if (floodMs < 100 || floodMs > 60000) {
        std::fprintf(stderr, "usage: bench_flood [FLOOD_MS] (100..60000)\n");
        return 2;
    }
    const QTemporaryDir dir;
    QProcess sim;
    if (!startSim(sim, dir, floodMs)) {
        std::fprintf(stderr, "grq-sim did not start\n");
        return 1;
    }
    timerDuringFlood(floodMs);
    queryCommandDuringFlood();
    sim.kill();
    sim.waitForFinished();
    return 0;
}
