// Finding servers on the local network, for real: the test moves into a network namespace of
// its own, links it by a veth pair to a second namespace where simulated servers listen for
// broadcasts, and searches from its side, through File > "Find LAN Servers..." and through
// `grquorvel --query --lan --json` run inside the namespace. Nothing here is ever sent outside
// the two namespaces: the search starts only once the test has seen that the one network it
// can reach is its own.

#include "app/frmMain.h"
#include "servers/LanServerFinder.h"
#include "servers/SimProcess.h"
#include "servers/clsGRServer.h"
#include "servers_tab/ServerListModel.h"
#include "servers_tab/frmFindLanServers.h"
#include "support/OwnNetwork.h"
#include "support/ProgramRun.h"
#include "support/RealInput.h"
#include "support/Widgets.h"
#include "support/WindowApp.h"

#include <QAction>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

const char nearAddress[] = "198.18.77.1";
const char broadcastAddress[] = "198.18.77.255";

// Three servers that answer, one whose answer breaks off early, and one that answers every
// request with a flood of junk from another address.
const QByteArray scenario = R"({"servers": [
    {"address": "198.18.77.4", "state": {"name": "LAN Charlie", "map": "Island", "players": [],
     "dedicated": false, "maxPlayers": 4}},
    {"address": "198.18.77.2", "state": {"name": "LAN Alpha", "map": "Castle",
     "players": ["Host", "Rook"], "dedicated": true, "maxPlayers": 8}},
    {"address": "198.18.77.3", "state": {"name": "LAN Bravo", "map": "Farm", "players": ["Kilo"],
     "dedicated": false, "maxPlayers": 6}},
    {"address": "198.18.77.5", "behaviour": "truncated", "truncateAt": 40},
    {"address": "198.18.77.6", "behaviour": "silent", "floodMs": 300, "from": "198.18.77.7"}]})";

QString text(const char *latin1) {
    return QString::fromLatin1(latin1);
}

// The near side (this thread's own namespace), the far side (a namespace a sleeping process
// holds) joined by a veth pair, and the simulator on the far side.
class Lan {
public:
    Lan() {
        if (!m_near.ready()) {
            m_skip = m_near.why();
            return;
        }
        m_holder.start(text("unshare"),
                       {text("-n"), text("sh"), text("-c"), text("echo ready; exec sleep 300")});
        if (!m_holder.waitForReadyRead(10000)) {
            m_skip = "cannot make the far side's network namespace";
            return;
        }
        const QByteArray pid = QByteArray::number(m_holder.processId());
        m_farPath = text("/proc/") + QString::fromLatin1(pid) + text("/ns/net");
        const QString far = text("ip link set lo up; for a in 2 3 4 5 6 7; do "
                                 "ip addr add 198.18.77.$a/24 brd + dev lanb; done; "
                                 "ip link set lanb up");
        QProcess setup;
        const bool linked =
            m_near.ip({"link", "add", "lana", "type", "veth", "peer", "name", "lanb", "netns",
                       pid.constData()}) &&
            m_near.ip({"addr", "add", "198.18.77.1/24", "brd", "+", "dev", "lana"}) &&
            m_near.ip({"link", "set", "lana", "up"});
        if (linked) {
            setup.start(text("nsenter"),
                        {text("--net=") + m_farPath, text("sh"), text("-ec"), far});
        }
        if (!linked || !setup.waitForFinished(10000) || setup.exitCode() != 0) {
            m_why = "cannot link the two namespaces";
            return;
        }
        // The search may go out only where this test put it.
        const QList<QHostAddress> targets =
            LanServerFinder::broadcastAddresses(LanServerFinder::systemInterfaces());
        if (targets != QList<QHostAddress>{QHostAddress(text(broadcastAddress))}) {
            m_why = "the near side sees other networks than its own; nothing is searched";
            return;
        }
        m_sim = std::make_unique<SimProcess>(
            scenario, QStringList{text("--broadcast"), text(broadcastAddress)}, m_farPath);
        if (!m_sim->isReady()) {
            m_why = "the simulator did not start on the far side";
            return;
        }
        m_ready = true;
    }
    ~Lan() {
        m_sim.reset();
        m_holder.kill();
        m_holder.waitForFinished(5000);
    }

    bool ready() const { return m_ready; }
    // Why the test cannot run here at all (namespaces not permitted), or why setting up failed.
    const std::string &skip() const { return m_skip; }
    const std::string &why() const { return m_why; }
    const QString &nearPath() const { return m_near.path(); }

private:
    OwnNetwork m_near;
    QProcess m_holder;
    QString m_farPath;
    std::unique_ptr<SimProcess> m_sim;
    bool m_ready = false;
    std::string m_skip;
    std::string m_why;
};

// The real program, inside the namespace `netns` (or a new, empty one when it is empty).
ProgramOutcome grquorvel(const QString &netns, const QStringList &arguments) {
    return runHeadless(arguments, {},
                       netns.isEmpty() ? QStringList{text("unshare"), text("-n")}
                                       : QStringList{text("nsenter"), text("--net=") + netns});
}

} // namespace

TEST(FindLanServers, CommandLineFindsTheServersBehindTheLink) {
    const Lan lan;
    if (!lan.skip().empty())
        GTEST_SKIP() << lan.skip();
    ASSERT_TRUE(lan.ready()) << lan.why();

    const ProgramOutcome run =
        grquorvel(lan.nearPath(), {text("--query"), text("--lan"), text("--json")});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    // Address, status, name, map, players, and whether the query took a time.
    QStringList rows;
    for (const QJsonValue &value : QJsonDocument::fromJson(run.out.toUtf8()).array()) {
        const QJsonObject o = value.toObject();
        rows << QStringLiteral("%1|%2|%3|%4|%5/%6|%7")
                    .arg(o.value(u"address").toString(), o.value(u"status").toString(),
                         o.value(u"name").toString(), o.value(u"map").toString())
                    .arg(o.value(u"playerCount").toInt())
                    .arg(o.value(u"maxPlayers").toInt())
                    .arg(text(o.value(u"queryMs").toInt(-1) >= 0 ? "timed" : "untimed"));
    }
    EXPECT_EQ(rows, QStringList({text("198.18.77.2|Answered|LAN Alpha|Castle|1/7|timed"),
                                 text("198.18.77.3|Answered|LAN Bravo|Farm|1/6|timed"),
                                 text("198.18.77.4|Answered|LAN Charlie|Island|0/4|timed")}))
        << run.out.toStdString();

    // Where nothing can broadcast, nothing is found, and the program says why.
    const ProgramOutcome alone = grquorvel({}, {text("--query"), text("--lan"), text("--json")});
    if (alone.err.contains(u"unshare"))
        return; // a second namespace is not permitted; the first part stands
    EXPECT_EQ(alone.status, 1);
    EXPECT_EQ(QJsonDocument::fromJson(alone.out.toUtf8()).array().size(), 0)
        << alone.out.toStdString();
    EXPECT_TRUE(alone.err.contains(u"no network interface here can send broadcasts"))
        << alone.err.toStdString();
}

TEST(FindLanServers, WindowListsTheServersFoundAndAddsThem) {
    const Lan lan;
    if (!lan.skip().empty())
        GTEST_SKIP() << lan.skip();
    ASSERT_TRUE(lan.ready()) << lan.why();

    WindowApp app({});
    app.add(text("198.18.77.3"), text("Bravo, typed in"));
    named<QAction>(*app.main, "mnuFileFindLan")->trigger();
    frmFindLanServers *window = app.main->findLanServersWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->isVisible());
    auto *list = named<QTreeWidget>(*window, "lsvLanServers");
    auto *status = named<QLabel>(*window, "lblLanStatus");
    auto *add = named<QPushButton>(*window, "cmdLanAdd");
    auto *addAll = named<QPushButton>(*window, "cmdLanAddAll");
    EXPECT_EQ(status->text(), text("Searching the local network..."));
    EXPECT_FALSE(named<QPushButton>(*window, "cmdLanSearch")->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->finder().isSearching(); }, 15000));

    // Each server once, in address order; the broken answer and the junk made no row.
    EXPECT_EQ(status->text(), text("3 servers found."));
    ASSERT_EQ(list->topLevelItemCount(), 3);
    const char *rows[][5] = {{"198.18.77.2", "LAN Alpha", "1/7", "Castle", ""},
                             {"198.18.77.3", "LAN Bravo", "1/6", "Farm", "already in your list"},
                             {"198.18.77.4", "LAN Charlie", "0/4", "Island", ""}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(list->topLevelItem(r)->text(c), text(rows[r][c])) << r << ',' << c;
    EXPECT_FALSE(list->topLevelItem(1)->flags() & Qt::ItemIsEnabled);
    EXPECT_GT(window->finder().ignored(), 0u);
    EXPECT_FALSE(add->isEnabled());
    EXPECT_TRUE(addAll->isEnabled());

    // Add takes the selected row only.
    QTreeWidgetItem *alpha = list->topLevelItem(0);
    realInput::click(list->viewport(), list->visualItemRect(alpha).center());
    ASSERT_TRUE(add->isEnabled());
    QTest::mouseClick(add, Qt::LeftButton);
    clsGRServers &servers = *app.root->GRServers();
    ASSERT_EQ(servers.Count(), 2);
    ASSERT_NE(servers.Item(text("198.18.77.2")), nullptr);
    EXPECT_EQ(servers.Item(text("198.18.77.2"))->Name(), text("LAN Alpha"));
    EXPECT_EQ(alpha->text(frmFindLanServers::ColInList), text("already in your list"));
    EXPECT_FALSE(add->isEnabled());
    EXPECT_EQ(app.tab->findChild<ServerListModel *>()->rowCount(), 2);

    // Add All takes the rest; what was in the list stays as it was.
    QTest::mouseClick(addAll, Qt::LeftButton);
    ASSERT_EQ(servers.Count(), 3);
    EXPECT_EQ(servers.Item(text("198.18.77.3"))->Name(), text("Bravo, typed in"));
    EXPECT_NE(servers.Item(text("198.18.77.4")), nullptr);
    EXPECT_FALSE(addAll->isEnabled());
    // The servers added are queried through the link like any other.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return servers.Item(text("198.18.77.4"))->status() == clsGRServer::Answered; },
        10000));

    // A server taken out of the list meanwhile can be added again.
    app.main->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return app.main->isActiveWindow(); }, 5000));
    servers.RemoveServer(text("198.18.77.4"));
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return addAll->isEnabled(); }, 5000));
    EXPECT_TRUE(list->topLevelItem(2)->flags() & Qt::ItemIsEnabled);
    EXPECT_EQ(list->topLevelItem(2)->text(frmFindLanServers::ColInList), QString());
    window->close();
}
