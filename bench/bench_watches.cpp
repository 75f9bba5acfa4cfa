// Watches: what judging every answer costs, and what the watch marker adds to the list's tick.
// Run: QT_QPA_PLATFORM=offscreen bench_watches
#include "app/clsGRQuorvel.h"
#include "common/Prompter.h"
#include "platform/ProcessLauncher.h"
#include "servers/GRQueryProtocol.h"
#include "servers/clsGRServers.h"
#include "servers/clsGlobalGRControls.h"
#include "servers_tab/ServerListModel.h"
#include "watch/WatchEngine.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
class SilentPrompter : public Prompter {
public:
    Answer ask(const QString &, const QString &, Buttons, Icon) override { return Answer::Cancel; }
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void bench(int count, int patterns) {
    QTemporaryDir dir;
    SilentPrompter prompter;
    platform::DetachedProcessLauncher launcher;
    StartupEnvironment env;
    env.gameDirectory = dir.path();
    clsGRQuorvel root(env, prompter, launcher);
    root.createObjects();
    root.createWatches();
    WatchEngine &watches = *root.Watches();
    clsGRServers &servers = *root.GRServers();
    const quint32 first = QHostAddress(QStringLiteral("127.40.0.1")).toIPv4Address();
    QStringList ips;
    for (int i = 0; i < count; ++i) {
        const QString ip = QHostAddress(first + quint32(i)).toString();
        const auto slot = root.GRServerControls()->fnNextTimerAndWinsock();
        servers.AddServer(ip, {}, {}, slot.value_or(-1));
        ips << ip;
        if (i % 10 == 0)
            watches.setWatch({.address = ip,
                              .answersAgain = true,
                              .playersReach = true,
                              .players = 4,
                              .slotFrees = true});
    }
    for (int p = 0; p < patterns; ++p)
        watches.addBuddy(QStringLiteral("*buddy%1?").arg(p));
    int notifications = 0;
    QObject::connect(&watches, &WatchEngine::notificationReady, [&] { ++notifications; });

    std::vector<double> judge;
    for (int round = 0; round < 9; ++round) {
        for (int i = 0; i < count; ++i) {
            grquery::ServerStatus s;
            s.maxPlayers = 16;
            for (int n = 0; n < (i + round) % 16; ++n)
                s.players << QStringLiteral("Player%1_%2").arg(n).arg((i * 7 + round) % 50);
            servers.Item(ips[i])->DataArrival(grquery::encodeReply(s));
        }
        QElapsedTimer t;
        t.start();
        for (const QString &ip : std::as_const(ips))
            watches.queryEnded(ip, true);
        judge.push_back(t.nsecsElapsed() / 1e6);
    }

    ServerListModel model;
    std::vector<const clsGRServer *> records;
    for (const auto &record : servers)
        records.push_back(&record);
    model.setRecords(records);
    auto lookup = [&](const QString &key) { return servers.Item(key); };
    const auto ticks = [&] {
        model.tick(lookup); // the first tick writes what changed
        std::vector<double> took;
        for (int round = 0; round < 15; ++round) {
            QElapsedTimer t;
            t.start();
            model.tick(lookup);
            took.push_back(t.nsecsElapsed() / 1e6);
        }
        return median(took);
    };
    const double plain = ticks();
    model.setWatchInfo([&](const QString &key) { return watches.isWatched(key); },
                       [&](const QString &key) { return watches.toolTip(key); });
    const double marked = ticks();
    std::printf("%6d servers (%d watched), %3d buddy patterns: judging one round of answers "
                "%7.2f ms; list tick %6.2f ms without watches, %6.2f ms with\n",
                count, count / 10, patterns, median(judge), plain, marked);
}
} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    for (const int count : {500, 5000})
        for (const int patterns : {0, 20})
            bench(count, patterns);
    return 0;
}
