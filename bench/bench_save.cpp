// Writing the preferences while the program runs: what a write costs the user-interface thread,
// and how late the event loop gets because of it, with 1,000 servers and 1,000 channels.
//
//   bench_save [--dir DIR] [--seconds N]
//
// DIR is where the file is written (default: a temporary directory), so the disk can be chosen.
//
// 1. The parts of one write, 30 times each (median, worst): making the file's text, and the
//    whole write (text, file, flush to disk, rename) as done in one go at shutdown.
// 2. The event loop's lateness, measured by a 2 ms timer, for N seconds (default 5) each:
//    - no writes (the machine's own noise),
//    - a server renamed every 50 ms with the saver's 1 s delay (what the program does),
//    - the same with every write made whole on the user-interface thread (for comparison).

#include "app/clsGRQuorvel.h"
#include "common/Prompter.h"
#include "options/PreferencesSaver.h"
#include "options/clsOptions.h"
#include "platform/ProcessLauncher.h"
#include "servers/clsGRServers.h"
#include "servers/clsGlobalGRControls.h"
#include "voice/clsRWServers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {
class QuietPrompter : public Prompter {
public:
    Answer ask(const QString &, const QString &, Buttons, Icon) override { return Answer::Cancel; }
};

struct Lateness {
    double median = 0, p99 = 0, worst = 0;
    int ticks = 0;
};

double ms(const QElapsedTimer &t) {
    return double(t.nsecsElapsed()) / 1e6;
}

// This thread's processor time in ms: unlike the wall clock, not lengthened when a busy machine
// hands the processor to someone else meanwhile.
double threadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

template <typename T> T at(std::vector<T> v, double share) {
    std::sort(v.begin(), v.end());
    return v.empty() ? T{} : v[std::min(v.size() - 1, size_t(double(v.size()) * share))];
}

// Runs the event loop for `seconds` while `act` is called every 50 ms; how late a 2 ms timer
// fired each time.
Lateness measure(int seconds, const std::function<void()> &act) {
    std::vector<double> late;
    QElapsedTimer clock;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(2);
    double last = 0;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const double now = ms(clock);
        late.push_back(std::max(0.0, now - last - 2.0));
        last = now;
    });
    QTimer actor;
    actor.setInterval(50);
    if (act)
        QObject::connect(&actor, &QTimer::timeout, act);
    clock.start();
    probe.start();
    actor.start();
    QTimer::singleShot(seconds * 1000, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    probe.stop();
    actor.stop();
    return {at(late, 0.5), at(late, 0.99), late.empty() ? 0 : at(late, 1.0), int(late.size())};
}

void report(const char *what, const Lateness &l, int writes) {
    std::printf("  %-46s %5d ticks, late by median %.2f ms, 99th %.2f ms, worst %.2f ms"
                " (%d writes)\n",
                what, l.ticks, l.median, l.p99, l.worst, writes);
}
} // namespace

int main(int argc, char **argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QCoreApplication app(argc, argv);
    QString dir;
    int seconds = 5;
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == u"--dir")
            dir = args[++i];
        else if (args[i] == u"--seconds")
            seconds = args[++i].toInt();
    }
    QTemporaryDir temp;
    if (dir.isEmpty())
        dir = temp.path();

    QuietPrompter prompter;
    platform::DetachedProcessLauncher launcher;
    StartupEnvironment env;
    env.gameDirectory = dir;
    clsGRQuorvel root(env, prompter, launcher);
    root.createObjects();
    clsOptions &options = *root.Options();
    clsGRServers &servers = *root.GRServers();
    for (int i = 0; i < 1000; ++i) {
        const auto slot = root.GRServerControls()->fnNextTimerAndWinsock();
        servers.AddServer(
            QStringLiteral("10.%1.%2.%3").arg(i / 65536).arg(i / 256 % 256).arg(i % 256 + 1),
            QStringLiteral("Clan server number %1 [EU]").arg(i),
            i % 3 ? QString() : QStringLiteral("secret%1").arg(i), slot.value_or(-1));
        root.RWServers()->AddServer(QStringLiteral("voice%1.example.net:3782").arg(i),
                                    QStringLiteral("Voice channel %1").arg(i),
                                    i % 4 ? QString() : QStringLiteral("pw%1").arg(i));
    }
    for (int i = 0; i < 30; ++i)
        options.AddPlayerName(QStringLiteral("Player%1").arg(i));
    const QString path = root.PreferencesFileName();

    std::vector<double> text, whole, textCpu, wholeCpu;
    for (int i = 0; i < 30; ++i) {
        QElapsedTimer t;
        t.start();
        double cpu = threadCpuMs();
        options.serialise();
        text.push_back(ms(t));
        textCpu.push_back(threadCpuMs() - cpu);
        t.restart();
        cpu = threadCpuMs();
        options.Save(path);
        whole.push_back(ms(t));
        wholeCpu.push_back(threadCpuMs() - cpu);
    }
    std::printf("1,000 servers, 1,000 channels, 30 names: a file of %lld bytes in %s\n",
                QFileInfo(path).size(), qPrintable(dir));
    std::printf("  making the text:                 median %.2f ms, worst %.2f ms "
                "(processor time median %.2f ms, worst %.2f ms)\n",
                at(text, 0.5), at(text, 1.0), at(textCpu, 0.5), at(textCpu, 1.0));
    std::printf("  the whole write on one thread:   median %.2f ms, worst %.2f ms "
                "(processor time median %.2f ms, worst %.2f ms)\n",
                at(whole, 0.5), at(whole, 1.0), at(wholeCpu, 0.5), at(wholeCpu, 1.0));

    std::printf("event loop lateness over %d s each:\n", seconds);
    report("no writes", measure(seconds, nullptr), 0);

    int renamed = 0;
    const auto rename = [&] {
        servers.Item(1 + renamed % 1000)->setName(QStringLiteral("Renamed %1").arg(renamed));
        ++renamed;
    };
    {
        PreferencesSaver saver(options, path, prompter, 1000);
        int writes = 0;
        QObject::connect(&saver, &PreferencesSaver::written, [&] { ++writes; });
        servers.changes().listen([&] { saver.schedule(); });
        const Lateness l = measure(seconds, rename);
        saver.stop();
        report("saver, 1 s delay (text here, file elsewhere)", l, writes);

        // Every 50 ms rather than every second: the worst the thread can see.
        PreferencesSaver eager(options, path, prompter, 0);
        writes = 0;
        QObject::connect(&eager, &PreferencesSaver::written, [&] { ++writes; });
        servers.changes().listen([&] { eager.schedule(); });
        const Lateness e = measure(seconds, rename);
        eager.stop();
        report("saver, a write after every change", e, writes);
        servers.changes().listen({});
    }
    int writes = 0;
    const Lateness sync = measure(seconds, [&] {
        rename();
        if (renamed % 20 == 0) {
            options.Save(path);
            ++writes;
        }
    });
    report("whole write on this thread once a second", sync, writes);
    return 0;
}
