// A refresh of many simulated servers: how many answer, how long until the last answer, the
// longest stall of the event loop, and the memory each server costs.
//
//   bench_refresh [--drop PERCENT] [--resend-after MS] [--seed S] [COUNT...]
//                 (default 100 1000 10000)
//
// The servers are served by grq-sim on consecutive addresses from 127.10.0.1. With --drop the
// simulator loses that share of the requests it receives; --resend-after sets how long an
// unanswered request waits before it is sent again (0: never, which is how one lost datagram
// made a live server look silent).

#include "app/clsGRQuorvel.h"
#include "common/Prompter.h"
#include "common/Timing.h"
#include "platform/ProcessLauncher.h"
#include "servers/clsGRServers.h"
#include "servers/clsGlobalGRControls.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

#include <malloc.h>

namespace {

class CountingPrompter : public Prompter {
public:
    Answer ask(const QString &text, const QString &title, Buttons, Icon) override {
        ++boxes;
        std::fprintf(stderr, "box: %s: %s\n", qPrintable(title), qPrintable(text));
        return Answer::Cancel;
    }
    int boxes = 0;
};

// Heap bytes in use (glibc), which unlike the resident size is not blurred by freed memory
// being reused.
size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

long residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

struct Settings {
    double dropPercent = 0;
    unsigned seed = 1;
    Timing timing;
};

bool startSim(QProcess &sim, int count, const Settings &settings) {
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(QStringLiteral(QUORVEL_BINARY_DIR "/tools/grq-sim/grq-sim"),
              {QStringLiteral("--count"), QString::number(count), QStringLiteral("--first"),
               QStringLiteral("127.10.0.1"), QStringLiteral("--drop"),
               QString::number(settings.dropPercent), QStringLiteral("--seed"),
               QString::number(settings.seed)});
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 30000 && sim.state() != QProcess::NotRunning) {
        if (!sim.canReadLine() && !sim.waitForReadyRead(200))
            continue;
        while (sim.canReadLine()) {
            if (sim.readLine().trimmed() == "ready")
                return true;
        }
    }
    return false;
}

void runOnce(int count, const Settings &settings) {
    QProcess sim;
    if (!startSim(sim, count, settings)) {
        std::fprintf(stderr, "grq-sim did not start for %d servers\n", count);
        return;
    }

    CountingPrompter prompter;
    platform::DetachedProcessLauncher launcher;
    const long before = residentKiB();
    const size_t heapBefore = heapInUse();
    {
        const QTemporaryDir gameDirectory;
        StartupEnvironment environment;
        environment.gameDirectory = gameDirectory.path();
        clsGRQuorvel root(environment, prompter, launcher, settings.timing);
        root.createObjects();
        clsGRServers &servers = *root.GRServers();
        for (quint32 i = 0; i < static_cast<quint32>(count); ++i) {
            const QString ip = QHostAddress(0x7F0A0001u + i).toString();
            servers.AddServer(ip, QString(), QString(),
                              root.GRServerControls()->fnNextTimerAndWinsock().value());
        }

        // A 1 ms ticker: the longest gap between its ticks is the longest stall of the loop.
        QElapsedTimer clock;
        qint64 lastTick = 0;
        qint64 longestStallUs = 0;
        qint64 lastAnswerUs = 0;
        int answered = 0;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        ticker.setInterval(1);
        auto countAnswers = [&] {
            int now = 0;
            for (const clsGRServer &r : servers)
                now += r.status() == clsGRServer::Answered ? 1 : 0;
            return now;
        };
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const qint64 t = clock.nsecsElapsed() / 1000;
            longestStallUs = qMax(longestStallUs, t - lastTick);
            lastTick = t;
            const int now = countAnswers();
            if (now != answered) {
                answered = now;
                lastAnswerUs = t;
            }
        });

        clock.start();
        servers.RefreshAllServerData();
        const qint64 refreshCallUs = clock.nsecsElapsed() / 1000;
        lastTick = refreshCallUs;
        longestStallUs = refreshCallUs;
        ticker.start();
        while (servers.AnyWaiting())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        ticker.stop();
        answered = countAnswers();
        const long after = residentKiB();
        const size_t heapAfter = heapInUse();
        const auto &c = root.GRServerControls()->counters();
        std::printf("%6d servers: %6.2f %% answered (%d), last answer after %7.1f ms, "
                    "longest stall %5.1f ms, heap %5.0f bytes/server (resident %5.0f), "
                    "RefreshAllServerData %5.1f ms, "
                    "sent %llu (again %llu) received %llu dropped %llu, boxes %d\n",
                    count, 100.0 * answered / count, answered, lastAnswerUs / 1000.0,
                    longestStallUs / 1000.0, double(heapAfter - heapBefore) / count,
                    1024.0 * double(after - before) / count, refreshCallUs / 1000.0,
                    static_cast<unsigned long long>(c.sent),
                    static_cast<unsigned long long>(c.resent),
                    static_cast<unsigned long long>(c.received),
                    static_cast<unsigned long long>(c.dropped), prompter.boxes);
        std::fflush(stdout);
    }
    sim.kill();
    sim.waitForFinished();
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const char usage[] = "usage: bench_refresh [--drop PERCENT] [--resend-after MS] [--seed S] "
                         "[COUNT...] (1..65000)\n";
    Settings settings;
    QList<int> counts;
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        bool ok = true;
        if (args[i] == u"--drop" && hasValue)
            settings.dropPercent = args[++i].toDouble(&ok);
        else if (args[i] == u"--resend-after" && hasValue)
            settings.timing.resendAfterMs = args[++i].toInt(&ok);
        else if (args[i] == u"--seed" && hasValue)
            settings.seed = args[++i].toUInt(&ok);
        else
            counts << args[i].toInt(&ok);
        if (!ok) {
            std::fprintf(stderr, "%s", usage);
            return 2;
        }
    }
    if (counts.isEmpty())
        counts = {100, 1000, 10000};
    std::printf("%.1f %% of requests lost; unanswered requests sent again after %d ms%s\n",
                settings.dropPercent, settings.timing.resendAfterMs,
                settings.timing.resendAfterMs > 0 ? "" : " (never)");
    for (int count : counts) {
        if (count < 1 || count > 65000) {
            std::fprintf(stderr, "%s", usage);
            return 2;
        }
        runOnce(count, settings);
    }
    return 0;
}
