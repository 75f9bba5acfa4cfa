// The servers' history: what recording a round costs the user-interface thread, how large the
// file grows over 90 days, and how long the details window's charts take to show.
//
//   bench_history [--days N] [--servers N] [--keep DIR]
//
// With --keep, a history file already in DIR is used as it is instead of being written again.
//
// 1. A round of 1,000 answers, as the query engine reports them, recorded 50 times: the time
//    the user-interface thread spends (median, worst), and the writer thread's time apart.
// 2. N days (default 90) of N servers (default 100) queried every 12.5 s, from a simulated
//    mix of silent, empty, flaky and busy servers: the file's size.
// 3. The charts of the busiest of those servers, built and painted 20 times (first, median).

#include "../bench/HistorySimulation.h"
#include "app/clsGRQuorvel.h"
#include "common/Prompter.h"
#include "history/HistoryCharts.h"
#include "history/HistoryStore.h"
#include "platform/ProcessLauncher.h"
#include "servers/GRQueryProtocol.h"
#include "servers/clsGRServers.h"
#include "servers/clsGlobalGRControls.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {
class QuietPrompter : public Prompter {
public:
    Answer ask(const QString &, const QString &, Buttons, Icon) override { return Answer::Cancel; }
};

// This thread's processor time in ms: unlike the wall clock, not lengthened when a busy
// machine hands the processor to someone else mid-round.
double threadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void roundCost(const QString &dir) {
    QuietPrompter prompter;
    platform::DetachedProcessLauncher launcher;
    StartupEnvironment env;
    env.gameDirectory = dir;
    clsGRQuorvel root(env, prompter, launcher);
    root.createObjects();
    HistoryStore store;
    store.open(dir + QStringLiteral("/round.sqlite"));
    clsGRServers &servers = *root.GRServers();
    store.attach(root.GRServerControls(),
                 [&](const QString &address) { return servers.Item(address); });
    constexpr int count = 1000;
    for (int i = 0; i < count; ++i) {
        const QString ip = QStringLiteral("127.60.%1.%2").arg(i / 250).arg(i % 250 + 1);
        clsGRServer *server = servers.AddServer(
            ip, {}, {}, root.GRServerControls()->fnNextTimerAndWinsock().value_or(-1));
        grquery::ServerStatus reply;
        reply.name = QStringLiteral("Server %1").arg(i);
        reply.map = QStringLiteral("Castle");
        reply.mission = QStringLiteral("Mission");
        reply.gameType = QStringLiteral("Coop");
        reply.maxPlayers = 12;
        reply.gameStateCode = 4;
        for (int p = 0; p < i % 9; ++p)
            reply.players << QStringLiteral("Player%1").arg(p);
        server->DataArrival(grquery::encodeReply(reply));
    }
    std::vector<double> ui, uiCpu, writer;
    for (int round = 0; round < 50; ++round) {
        QElapsedTimer t;
        t.start();
        const double cpu = threadCpuMs();
        int i = 0;
        for (const clsGRServer &server : servers)
            emit root.GRServerControls()->queryEnded(server.IP(), (round + i++) % 5 != 0);
        store.flush();
        ui.push_back(double(t.nsecsElapsed()) / 1e6);
        uiCpu.push_back(threadCpuMs() - cpu);
        t.restart();
        store.waitForWrites();
        writer.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::vector<double> sorted = ui;
    std::sort(sorted.begin(), sorted.end());
    std::printf("round of %d answers, %zu rounds: user-interface thread median %.2f ms, "
                "second worst %.2f ms, worst %.2f ms (round %td); writer thread median %.1f ms, "
                "worst %.1f ms\n"
                "  its processor time: median %.2f ms, worst %.2f ms\n",
                count, ui.size(), median(ui), sorted[sorted.size() - 2], sorted.back(),
                std::max_element(ui.begin(), ui.end()) - ui.begin() + 1, median(writer),
                *std::max_element(writer.begin(), writer.end()), median(uiCpu),
                *std::max_element(uiCpu.begin(), uiCpu.end()));
}

QString busiestOf(const HistoryStore &store) {
    QSqlQuery q(QSqlDatabase::database(store.connectionName()));
    if (q.exec(QStringLiteral("SELECT s.address, sum(h.player_sum) AS p FROM hourly h JOIN "
                              "servers s ON s.id = h.server GROUP BY h.server ORDER BY p DESC "
                              "LIMIT 1")) &&
        q.next())
        return q.value(0).toString();
    return {};
}

QString ninetyDays(const QString &path, int days, int servers) {
    if (QFileInfo::exists(path)) {
        // Kept from an earlier run: how long opening it takes (the check and the pruning).
        QElapsedTimer t;
        t.start();
        HistoryStore store;
        store.open(path);
        store.prune();
        std::printf("opening the kept file of %.2f MB, checked and pruned: %lld ms\n",
                    double(QFileInfo(path).size()) / (1024.0 * 1024.0), t.elapsed());
        return busiestOf(store);
    }
    HistoryStore store;
    store.open(path);
    HistorySimulation simulation(servers);
    const qint64 end = QDateTime::currentSecsSinceEpoch();
    const qint64 start = end - qint64(days) * 86400;
    QElapsedTimer t;
    t.start();
    qint64 rounds = 0;
    for (qint64 ms = 0; ms < qint64(days) * 86400 * 1000; ms += 12500) {
        for (HistoryObservation &o : simulation.round(start + ms / 1000))
            store.record(std::move(o));
        if (++rounds % 64 == 0)
            store.flush();
    }
    store.waitForWrites();
    store.prune();
    QSqlQuery(QSqlDatabase::database(store.connectionName()))
        .exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    const QString busiest = busiestOf(store);
    const auto count = [&](const char *table) {
        QSqlQuery c(QSqlDatabase::database(store.connectionName()));
        return c.exec(QStringLiteral("SELECT count(*) FROM ") + QLatin1String(table)) && c.next()
                   ? c.value(0).toLongLong()
                   : -1;
    };
    const double mb =
        double(QFileInfo(path).size() + QFileInfo(path + QStringLiteral("-wal")).size()) /
        (1024.0 * 1024.0);
    std::printf("%d days of %d servers every 12.5 s (%lld rounds, written in %.0f s): %.2f MB "
                "(%lld hourly rows, %lld change rows)\n",
                days, servers, rounds, double(t.elapsed()) / 1000.0, mb, count("hourly"),
                count("changes"));
    return busiest;
}

void chartsCost(const QString &path, const QString &address) {
    HistoryStore store;
    store.open(path);
    const auto once = [&](const QString &server) {
        QElapsedTimer t;
        t.start();
        HistoryCharts charts;
        charts.resize(580, 260);
        charts.showServer(&store, server);
        charts.grab();
        return double(t.nsecsElapsed()) / 1e6;
    };
    // The first charts of a run also pay for what Qt loads once (fonts, the chart theme).
    const double cold = once(QStringLiteral("127.99.99.99"));
    std::vector<double> times, queries;
    for (int i = 0; i < 20; ++i) {
        times.push_back(once(address));
        QElapsedTimer t;
        t.start();
        store.summary(address);
        store.samples(address, QDateTime::currentDateTimeUtc().addDays(-1));
        store.busyHours(address);
        queries.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::printf("charts of %s (90 days of history), built and painted: first in the run (no "
                "history) %.1f ms; then first %.1f ms, median %.1f ms, worst %.1f ms; of which "
                "reading the history median %.1f ms\n",
                qPrintable(address), cold, times.front(), median(times),
                *std::max_element(times.begin(), times.end()), median(queries));
}
} // namespace

int main(int argc, char **argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int days = 90, servers = 100;
    QString keep;
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == u"--days")
            days = args[++i].toInt();
        else if (args[i] == u"--servers")
            servers = args[++i].toInt();
        else if (args[i] == u"--keep")
            keep = args[++i];
    }
    QTemporaryDir temporary;
    const QString dir = keep.isEmpty() ? temporary.path() : keep;
    roundCost(dir);
    const QString path = dir + QStringLiteral("/GRQuorvelHistory.sqlite");
    const QString busiest = ninetyDays(path, days, servers);
    chartsCost(path, busiest);
    return 0;
}
