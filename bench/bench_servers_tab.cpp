// Servers list tick and ping-all timings. Run: QT_QPA_PLATFORM=offscreen bench_servers_tab
#include "app/clsGRQuorvel.h"
#include "common/Prompter.h"
#include "platform/IcmpEcho.h"
#include "platform/ProcessLauncher.h"
#include "servers/GRQueryProtocol.h"
#include "servers/clsGRServer.h"
#include "servers/clsGRServers.h"
#include "servers/clsGlobalGRControls.h"
#include "servers/clsPing.h"
#include "servers_tab/ServerFilterProxy.h"
#include "servers_tab/ServerListModel.h"
#include "servers_tab/ctlGRServers.h"
#include "servers_tab/frmPingAll.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QLineEdit>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
class SilentPrompter : public Prompter {
public:
    Answer ask(const QString &, const QString &, Buttons, Icon) override { return Answer::Cancel; }
};

struct Engine {
    explicit Engine(int servers, quint32 firstAddress) {
        Timing timing;
        root = std::make_unique<clsGRQuorvel>(StartupEnvironment{}, prompter, launcher, timing);
        root->createObjects();
        for (int i = 0; i < servers; ++i) {
            const auto slot = root->GRServerControls()->fnNextTimerAndWinsock();
            root->GRServers()->AddServer(QHostAddress(firstAddress + quint32(i)).toString(),
                                         QStringLiteral("Server %1").arg(i), QString(),
                                         slot.value_or(-1));
        }
    }
    SilentPrompter prompter;
    platform::DetachedProcessLauncher launcher;
    std::unique_ptr<clsGRQuorvel> root;
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void benchTick(int rows) {
    Engine engine(rows, QHostAddress(QStringLiteral("127.20.128.1")).toIPv4Address());
    clsGRServers &servers = *engine.root->GRServers();
    ServerListModel model;
    ServerFilterProxy proxy(model);
    std::vector<const clsGRServer *> records;
    for (const auto &record : servers)
        records.push_back(&record);
    model.setRecords(records);
    proxy.sort(ServerListModel::ColSortPing);
    auto lookup = [&](const QString &key) { return servers.Item(key); };
    model.tick(lookup);

    std::vector<double> still, all;
    for (int round = 0; round < 15; ++round) {
        QElapsedTimer t;
        t.start();
        model.tick(lookup);
        still.push_back(t.nsecsElapsed() / 1e6);
    }
    for (int round = 0; round < 9; ++round) {
        for (int i = 1; i <= servers.Count(); ++i)
            servers.Item(i)->setPing((i * 37 + round * 11) % 500);
        QElapsedTimer t;
        t.start();
        const quint32 changed = model.tick(lookup);
        if (changed & (1u << ServerListModel::ColSortPing))
            proxy.sort(ServerListModel::ColSortPing);
        all.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf(
        "tick %6d rows: nothing changed %8.2f ms, every row changed (with re-sort) %8.2f ms\n",
        rows, median(still), median(all));
}

// Typing into the search box over a list where every server answers with a map, a mission and
// players, then clearing it: each keystroke filters and sorts the whole list in the shown pane.
void benchSearch(int rows) {
    Engine engine(rows, QHostAddress(QStringLiteral("127.21.0.1")).toIPv4Address());
    const QStringList maps{QStringLiteral("Caves"), QStringLiteral("Castle"),
                           QStringLiteral("Farm"), QStringLiteral("Embassy")};
    int i = 0;
    for (auto &record : *engine.root->GRServers()) {
        grquery::ServerStatus s;
        s.name = QStringLiteral("Server %1").arg(i);
        s.map = maps[i % maps.size()];
        s.mission = QStringLiteral("Mission %1").arg(i % 17);
        s.maxPlayers = 16;
        for (int p = 0; p < i % 9; ++p)
            s.players << QStringLiteral("Player%1").arg((i * 7 + p * 13) % 5000);
        s.gameStateCode = 4;
        s.length = 900;
        record.DataArrival(grquery::encodeReply(s));
        ++i;
    }
    ctlGRServers pane(*engine.root);
    pane.resize(900, 600);
    pane.show();
    pane.RefreshList();
    pane.tmrListStatusRefresh_Timer();
    QCoreApplication::processEvents();
    auto *search = pane.findChild<QLineEdit *>(QStringLiteral("txtSearch"));

    // Each keystroke is timed twice: until the filter is applied, and until the list has also
    // laid itself out and painted what it now shows.
    std::vector<double> typed, typedShown, erased, erasedShown;
    const auto key = [&](const std::function<void()> &press, std::vector<double> &filtered,
                         std::vector<double> &shown) {
        QElapsedTimer t;
        t.start();
        press();
        filtered.push_back(t.nsecsElapsed() / 1e6);
        QCoreApplication::processEvents();
        shown.push_back(t.nsecsElapsed() / 1e6);
    };
    for (int round = 0; round < 5; ++round) {
        for (const QChar c : QStringLiteral("player42"))
            key([&] { search->insert(QString(c)); }, typed, typedShown);
        while (!search->text().isEmpty())
            key([&] { search->backspace(); }, erased, erasedShown);
    }
    const auto worst = [](const std::vector<double> &v) {
        return *std::max_element(v.begin(), v.end());
    };
    std::printf("search %6d rows, %zu keystrokes: filtered median %6.2f ms, worst %6.2f ms; "
                "painted median %6.2f ms, worst %6.2f ms\n",
                rows, typed.size(), median(typed), worst(typed), median(typedShown),
                worst(typedShown));
    std::printf("search %6d rows, %zu backspaces: filtered median %6.2f ms, worst %6.2f ms; "
                "painted median %6.2f ms, worst %6.2f ms\n",
                rows, erased.size(), median(erased), worst(erased), median(erasedShown),
                worst(erasedShown));
}

void benchPingAll(int count, bool dead) {
    Engine engine(count, QHostAddress(QStringLiteral("127.20.200.1")).toIPv4Address());
    clsPing &ping = *engine.root->Ping();
    if (ping.usesQueryRoundTrip()) {
        std::printf("ping-all: no ICMP socket here (%s)\n", qPrintable(ping.fallbackNote()));
        return;
    }
    if (dead) {
        QSet<quint32> silent;
        for (const auto &record : *engine.root->GRServers())
            silent.insert(QHostAddress(record.IP()).toIPv4Address());
        ping.echo().setUnanswered(silent);
    }
    frmPingAll window(*engine.root);
    QElapsedTimer t;
    t.start();
    window.exec();
    int fresh = 0;
    for (const auto &record : *engine.root->GRServers())
        fresh += record.PingStale() ? 0 : 1;
    std::printf("ping-all %5d %s loopback addresses: %8.1f ms (%d pinged, %s socket)\n", count,
                dead ? "silent" : "answering", t.nsecsElapsed() / 1e6, fresh,
                ping.echo().kind() == platform::IcmpEcho::Kind::Raw ? "raw" : "datagram");
}
} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    // One part alone when named ("tick", "search" or "ping"), for a profiler.
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const auto wanted = [&only](const char *part) {
        return only.isEmpty() || only == QLatin1String(part);
    };
    if (wanted("tick")) {
        benchTick(1000);
        benchTick(10000);
    }
    if (wanted("search")) {
        benchSearch(1000);
        benchSearch(10000);
    }
    if (wanted("ping")) {
        benchPingAll(1000, false);
        benchPingAll(100, true);
    }
    return 0;
}
