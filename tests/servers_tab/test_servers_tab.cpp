#include "app/QtAppShell.h"
#include "app/frmMain.h"
#include "servers/GRQueryProtocol.h"
#include "servers/SimProcess.h"
#include "servers/clsPing.h"
#include "servers_tab/ServerIcons.h"
#include "servers_tab/ServerListModel.h"
#include "servers_tab/ctlGRServers.h"
#include "servers_tab/frmPingAll.h"
#include "servers_tab/frmServerInfo.h"
#include "support/CoreApp.h"
#include "support/RealInput.h"
#include "support/Widgets.h"
#include "support/WindowApp.h"
#include "watch/WatchEngine.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

// The whole program up to its main window; list ticks are run by hand.
struct App : WindowApp {
    App()
        : WindowApp({.timing = {.queryWindowMs = 200, .listTickMs = 60000, .pingTimeoutMs = 200}}) {
    }
    QTableView *list() const { return tab->listView(); }
    void refresh() const {
        tab->RefreshList();
        tab->tmrListStatusRefresh_Timer();
    }
};

grquery::ServerStatus playing(int players, int slotCount, qint32 length, qint32 elapsed) {
    grquery::ServerStatus s;
    s.name = QStringLiteral("Host");
    s.maxPlayers = slotCount;
    for (int i = 0; i < players; ++i)
        s.players << QStringLiteral("P%1").arg(i + 1);
    s.gameStateCode = 4;
    s.length = length;
    s.timeElapsed = elapsed;
    s.motd = QStringLiteral("Welcome");
    return s;
}

} // namespace

TEST(ServersTab, CellsColoursIconsAndSortKeysAndColumnClicksSortByTheKeys) {
    App app;
    const struct {
        const char *ip;
        qint32 ping;
        bool stale;
        const char *text;
        QRgb color;
        const char *sortKey;
    } pings[] = {
        {"127.20.10.1", 0, false, "0", qRgb(0, 128, 0), "0000"},
        {"127.20.10.2", 150, true, "150", qRgb(0, 0, 0), "0150"},
        {"127.20.10.3", 250, false, "250", qRgb(128, 128, 0), "0250"},
        {"127.20.10.4", 400, false, "400", qRgb(128, 0, 0), "0400"},
        {"127.20.10.5", 10000, false, "9999", qRgb(128, 0, 0), "9999"},
    };
    for (const auto &p : pings) {
        clsGRServer *record = app.add(QString::fromLatin1(p.ip));
        record->setPing(p.ping);
        record->setPingStale(p.stale);
    }
    clsGRServer *answered = app.add(QStringLiteral("127.20.10.6"));
    answered->DataArrival(grquery::encodeReply(playing(5, 10, 600, 75)));
    answered->setPing(87);
    app.refresh();

    const ServerListModel &model = *app.tab->listModel();
    // The players and time-left texts and keys, the row's icon, ghosting and colour.
    const auto rowShows = [&](int row) {
        using M = ServerListModel;
        return QStringList{model.cell(row, M::ColPlayers),
                           model.cell(row, M::ColSortPlayers),
                           model.cell(row, M::ColTimeLeft),
                           model.cell(row, M::ColSortTimeLeft),
                           QString::number(model.rowIcon(row)),
                           model.rowGhosted(row) ? QStringLiteral("ghosted") : QString(),
                           model.rowColor(row).name()}
            .join(u'|');
    };
    for (const auto &p : pings) {
        SCOPED_TRACE(p.ip);
        const int row = model.rowOfKey(QString::fromLatin1(p.ip));
        EXPECT_EQ(model.cell(row, ServerListModel::ColPing) + u' ' +
                      model.cell(row, ServerListModel::ColSortPing),
                  QString::fromLatin1(p.text) + u' ' + QString::fromLatin1(p.sortKey));
        EXPECT_EQ(model.pingColor(row), QColor(p.color));
        EXPECT_EQ(model.pingIcon(row), p.stale ? ServerIcons::Clock : ServerIcons::Transparent);
        // Never answered: empty-server texts and keys, grey ghosted question mark.
        EXPECT_EQ(
            rowShows(row),
            QStringLiteral("-/-|00|--:--|00000|%1|ghosted|#808080").arg(ServerIcons::QuestionMark));
    }
    const int row = model.rowOfKey(QStringLiteral("127.20.10.6"));
    EXPECT_EQ(model.cell(row, ServerListModel::ColName), QStringLiteral("Host"));
    EXPECT_EQ(rowShows(row),
              QStringLiteral("5/10|05|08:45|00525|%1||#008000").arg(ServerIcons::GreenEmblem));

    // Only what changed is written and signalled; an unchanged tick signals nothing.
    QSignalSpy changes(app.tab->listModel(), &QAbstractItemModel::dataChanged);
    app.tab->tmrListStatusRefresh_Timer();
    EXPECT_EQ(changes.count(), 0);
    answered->TimerFired(); // no request outstanding: stays answered
    app.root->GRServers()->Item(QStringLiteral("127.20.10.1"))->setPing(35);
    app.tab->tmrListStatusRefresh_Timer();
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.at(0).at(0).value<QModelIndex>().column(), ServerListModel::ColPing);
    EXPECT_EQ(changes.at(0).at(1).value<QModelIndex>().column(), ServerListModel::ColSortPing);

    // A click on a column sorts by its hidden key, a second click the other way.
    EXPECT_EQ(app.tab->sortColumn(), ServerListModel::ColSortPlayers);
    for (int hidden : {4, 6, 8})
        EXPECT_TRUE(app.list()->horizontalHeader()->isSectionHidden(hidden));
    app.clickHeader(ServerListModel::ColPing);
    EXPECT_EQ(app.order(), QStringLiteral("1 6 2 3 4 5"));
    app.clickHeader(ServerListModel::ColPing);
    EXPECT_EQ(app.order(), QStringLiteral("5 4 3 2 6 1"));
}

TEST(ServersTab, RowClickFillsTheEditPageTheTickSetsTheButtonsAndRemoveAsksForImports) {
    App app;
    app.add(QStringLiteral("127.20.12.1"), QString(), QStringLiteral("pw1"))
        ->setLoadedFromGame(true);
    clsGRServer *named = app.add(QStringLiteral("127.20.12.2"), QStringLiteral("Named"));
    app.refresh();
    auto *name = app.find<QLineEdit>("txtEditName");
    auto *remove = app.find<QPushButton>("cmdRemove");
    auto *info = app.find<QPushButton>("cmdInfo");
    EXPECT_FALSE(remove->isEnabled());

    name->setText(QStringLiteral("left over"));
    app.clickRow(QStringLiteral("127.20.12.1"));
    EXPECT_EQ(app.find<QTabWidget>("tabControls")->currentIndex(), 1);
    EXPECT_EQ(app.find<QLabel>("lblEditName")->text(), QStringLiteral("Name for 127.20.12.1"));
    EXPECT_TRUE(name->isEnabled() && name->text().isEmpty());
    EXPECT_EQ(app.find<QLineEdit>("txtEditPassword")->text(), QStringLiteral("pw1"));
    app.tab->tmrListStatusRefresh_Timer();
    EXPECT_TRUE(remove->isEnabled() && !info->isEnabled());

    app.clickRow(QStringLiteral("127.20.12.2"));
    EXPECT_FALSE(name->isEnabled());
    EXPECT_EQ(name->text(), QStringLiteral("Named"));
    named->DataArrival(grquery::encodeReply(playing(1, 8, 0, 0)));
    app.tab->tmrListStatusRefresh_Timer();
    EXPECT_TRUE(info->isEnabled());

    // Save writes the boxes back and shows them at once.
    app.find<QLineEdit>("txtEditPassword")->setText(QStringLiteral("new"));
    app.find<QPushButton>("cmdEditServer")->click();
    EXPECT_EQ(named->Password(), QStringLiteral("new"));
    const int row = app.tab->listModel()->rowOfKey(QStringLiteral("127.20.12.2"));
    EXPECT_EQ(app.tab->listModel()->cell(row, ServerListModel::ColPassword), QStringLiteral("new"));

    app.list()->clearSelection();
    app.tab->tmrListStatusRefresh_Timer();
    EXPECT_FALSE(remove->isEnabled() || info->isEnabled());

    // Removing a server imported from the game asks.
    app.clickRow(QStringLiteral("127.20.12.1"));
    app.tab->tmrListStatusRefresh_Timer();
    app.prompter.expect(QStringLiteral("Remove Server from Options.xml as well?"), Answer::No);
    remove->click();
    EXPECT_EQ(app.root->GRServers()->Item(QStringLiteral("127.20.12.1")), nullptr);
    EXPECT_EQ(app.order(), QStringLiteral("2"));
}

TEST(ServersTab, EveryWayOfMovingTheSelectionRefillsTheEditPageSoSaveKeepsEachRecord) {
    App app;
    for (int i = 1; i <= 4; ++i)
        app.add(QStringLiteral("127.20.14.%1").arg(i), QStringLiteral("Name%1").arg(i),
                QStringLiteral("pw%1").arg(i));
    app.refresh();
    const auto records = [&] {
        QStringList rows;
        for (const clsGRServer &s : *app.root->GRServers())
            rows << s.IP() + u'|' + s.Name() + u'|' + s.Password();
        return rows;
    };
    const QStringList before = records();
    const auto rowCentre = [&](int visualRow) {
        return app.list()->visualRect(app.tab->sortModel()->index(visualRow, 1)).center();
    };
    const auto key = [&](Qt::Key k, Qt::KeyboardModifiers with = {}) {
        return [&app, k, with] { QTest::keyClick(app.list(), k, with); };
    };
    const struct {
        const char *how;
        std::function<void()> move;
    } moves[] = {
        {"arrow down", key(Qt::Key_Down)},
        {"ctrl+end", key(Qt::Key_End, Qt::ControlModifier)},
        {"page up", key(Qt::Key_PageUp)},
        {"right click",
         [&] {
             realInput::click(app.list()->viewport(), rowCentre(2), Qt::RightButton);
             app.tab->contextMenu()->close();
         }},
        {"sort, then arrow down",
         [&] {
             app.clickHeader(ServerListModel::ColName);
             app.clickHeader(ServerListModel::ColName);
             QTest::keyClick(app.list(), Qt::Key_Down);
         }},
    };
    app.clickRow(QStringLiteral("127.20.14.1"));
    app.list()->setFocus();
    QString shown = app.tab->selectedKey();
    for (const auto &m : moves) {
        SCOPED_TRACE(m.how);
        m.move();
        const QString now = app.tab->selectedKey();
        EXPECT_NE(now, shown) << "the move selects another row";
        EXPECT_EQ(app.find<QLabel>("lblEditName")->text(), QStringLiteral("Name for ") + now);
        app.find<QPushButton>("cmdEditServer")->click();
        EXPECT_EQ(records(), before);
        shown = now;
    }
}

namespace {
// The accessible object named `name` with `role` within `face`, depth first.
QAccessibleInterface *findAccessible(QAccessibleInterface *face, QAccessible::Role role,
                                     const QString &name) {
    if (!face)
        return nullptr;
    if (face->role() == role && face->text(QAccessible::Name) == name)
        return face;
    for (int i = 0; i < face->childCount(); ++i)
        if (QAccessibleInterface *found = findAccessible(face->child(i), role, name))
            return found;
    return nullptr;
}

// What a screen reader reads of a group of captions and values: "caption value" per row.
QStringList readOut(QAccessibleInterface *group) {
    QStringList rows;
    for (int i = 0; i + 1 < group->childCount(); i += 2)
        rows << group->child(i)->text(QAccessible::Name) + u' ' +
                    group->child(i + 1)->text(QAccessible::Name);
    return rows;
}

// A message of the day that wraps onto several lines.
const char welcome[] =
    "Welcome to the [GR] Clan server! Rules: no spawn killing, no team killing, respect the "
    "admins. Visit www.example-clan-ghostrecon.org/forum/index.php?board=5 for the map "
    "rotation and the ladder. Have fun and good hunting, Ghosts! -- the admins";

// A co-op server with respawns and a team server without IFF or threat indicator.
const QByteArray twoGames = QByteArray(R"({"servers": [
    {"address": "127.20.19.1", "state": {"name": "Coop Night", "map": "Castle",
     "mission": "Mission 03", "gameType": "Mission", "maxPlayers": 8, "dedicated": true,
     "players": ["Coop Night", "Rook", "Sniper", "Ghost7"], "gameState": "Playing",
     "length": 1800, "timeElapsed": 300, "motd": ")") +
                            welcome + R"(",
     "version": "11.101A", "mods": "mp1 mp2",
     "playerStates": [{"team": 5}, {"team": 1}, {"team": 1, "dead": true}, {"team": 5}],
     "patch": "1.4", "password": true, "gameMode": "coop", "respawnType": "individual",
     "respawnCount": 3, "respawnWaitShortest": 10, "respawnWaitLongest": 30,
     "respawnInvulnerable": 5, "debriefTime": 60, "startTimer": true, "startTimerSeconds": 90,
     "startWait": 30, "observers": true, "iff": "reticle", "threatIndicator": true,
     "weaponRestrictions": "No grenade launchers"}},
    {"address": "127.20.19.2", "state": {"name": "Hard Teams", "map": "Village",
     "mission": "", "gameType": "Team Sharpshooter", "maxPlayers": 12, "dedicated": false,
     "players": ["Viper", "Echo", "Nomad"], "gameState": "Debrief", "length": 900,
     "motd": "IFF off, threat indicator off. Good luck.", "version": "10.1010A", "mods": "",
     "playerStates": [{"team": 1}, {"team": 2, "dead": true}, {"team": 2}],
     "patch": "1.2", "password": false, "gameMode": "team", "respawnType": "none",
     "startTimer": false, "observers": false, "iff": "none", "threatIndicator": false,
     "weaponRestrictions": ""}}]})";

// Adds the servers of twoGames and waits for both to answer.
bool askTwoGames(App &app) {
    const QStringList ips{QStringLiteral("127.20.19.1"), QStringLiteral("127.20.19.2")};
    for (const QString &ip : ips)
        app.add(ip);
    app.refresh();
    app.root->GRServers()->RefreshAllServerData();
    const bool answered = QTest::qWaitFor(
        [&] {
            for (const QString &ip : ips)
                if (app.root->GRServers()->Item(ip)->status() != clsGRServer::Answered)
                    return false;
            return true;
        },
        5000);
    app.tab->tmrListStatusRefresh_Timer();
    return answered;
}

} // namespace

TEST(ServersTab, TheSettingsOfAGameShowInTheListAndItsPlayersInTheInfoWindow) {
    const SimProcess sim(twoGames);
    ASSERT_TRUE(sim.isReady());
    App app;
    ASSERT_TRUE(askTwoGames(app));
    // A passworded server shows a lock beside its address, and its settings in the tool tip.
    const QString coop = QStringLiteral("127.20.19.1"), team = QStringLiteral("127.20.19.2");
    QTableView *list = app.list();
    list->resize(600, 200);
    // What a screen reader reads of the address cell, and whether the padlock is drawn
    // beside the address.
    const auto shows = [&](const QString &ip) {
        QAccessibleInterface *table = QAccessible::queryAccessibleInterface(list);
        const QModelIndex at = app.shownAt(ip, 0);
        QAccessibleInterface *cell = table->tableInterface()->cellAt(at.row(), at.column());
        const QImage picture = list->viewport()->grab().toImage();
        const QRect rect = list->visualRect(at);
        bool steel = false;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x < rect.left() + 24; ++x) {
                const QColor c = picture.pixelColor(x, y);
                // The padlock's steel body.
                steel = steel || (qAbs(c.red() - 95) < 6 && qAbs(c.green() - 105) < 6 &&
                                  qAbs(c.blue() - 125) < 6);
            }
        return (cell ? cell->text(QAccessible::Name) : QStringLiteral("no cell")) +
               (steel ? QStringLiteral(" [lock]") : QString());
    };
    EXPECT_EQ(shows(coop), coop + QStringLiteral(", password needed [lock]"));
    EXPECT_EQ(shows(team), team);
    // Beside the bell of a watched server.
    app.root->Watches()->setWatch({.address = coop, .answersAgain = true});
    app.root->Watches()->setWatch({.address = team, .answersAgain = true});
    app.tab->tmrListStatusRefresh_Timer();
    EXPECT_EQ(shows(coop), coop + QStringLiteral(", password needed, watched [lock]"));
    EXPECT_EQ(shows(team), team + QStringLiteral(", watched"));

    // The tool tip the list shows when the pointer rests on a row.
    const auto tip = [&](const QString &ip) { return app.toolTip(ip).split(u'\n'); };
    const QStringList coopTip = tip(coop);
    EXPECT_EQ(coopTip.first(), list->toolTip());
    EXPECT_TRUE(coopTip.contains(QStringLiteral(
        "Co-operative, respawns: individual (3), IFF: reticle, threat indicator: on")));
    EXPECT_TRUE(coopTip.contains(QStringLiteral("A password is needed to join.")));
    EXPECT_TRUE(coopTip.contains(QStringLiteral("Watched: answers again")))
        << coopTip.join(u'|').toStdString();
    const QStringList teamTip = tip(team);
    EXPECT_TRUE(
        teamTip.contains(QStringLiteral("Team, respawns: none, IFF: none, threat indicator: off")));
    EXPECT_FALSE(teamTip.contains(QStringLiteral("A password is needed to join.")));

    // The info window, first for a server never asked.
    app.add(QStringLiteral("127.20.19.3"));
    app.refresh();
    app.clickRow(QStringLiteral("127.20.19.3"));
    app.tab->cmdInfo_Click();
    frmServerInfo *info = app.tab->infoWindow();
    ASSERT_NE(info, nullptr);
    const auto frameTitle = [&] { return named<QGroupBox>(*info, "frmGameInfo")->title(); };
    // Length, time left and the players' caption, then each player's name, team and state.
    const auto players = [&] {
        QStringList rows;
        for (const char *label : {"lblLengthData", "lblTimeRemainingData", "lblPlayers"})
            rows << named<QLabel>(*info, label)->text();
        auto *tree = named<QTreeWidget>(*info, "lsvPlayers");
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *item = tree->topLevelItem(i);
            rows << item->text(0) + u'|' + item->text(1) + u'|' + item->text(2);
        }
        return rows.join(u'\n');
    };
    const auto settings = [&] {
        QAccessibleInterface *group =
            findAccessible(QAccessible::queryAccessibleInterface(info), QAccessible::Grouping,
                           QStringLiteral("Game settings"));
        return group ? readOut(group).join(u'\n') : QStringLiteral("no group");
    };
    EXPECT_EQ(players(), QStringLiteral("00:00\nn/a\nPlayers (0/0)"));

    app.clickRow(coop);
    app.tab->cmdInfo_Click();
    EXPECT_EQ(app.tab->infoWindow(), info) << "one shared window";
    EXPECT_EQ(info->windowTitle(), QStringLiteral("127.20.19.1  -  Coop Night (Dedicated)"));
    EXPECT_EQ(frameTitle(), QStringLiteral("Game Info - 2"));
    EXPECT_EQ(settings(), QStringLiteral("Patch: 1.4 (Desert Siege, Island Thunder)\n"
                                         "Game mode: Co-operative\n"
                                         "Mission type: Mission\n"
                                         "Password: Needed to join\n"
                                         "Respawns: Individual, 3 respawns\n"
                                         "Respawn wait: 10 s to 30 s, then invulnerable for 5 s\n"
                                         "IFF: Reticle\n"
                                         "Threat indicator: On\n"
                                         "Observers: Allowed\n"
                                         "Start timer: 1 min 30 s, start wait 30 s\n"
                                         "Debrief time: 1 min\n"
                                         "Weapon restrictions: No grenade launchers"));
    // The host of a dedicated server is not a player; an observer has no team.
    EXPECT_EQ(players(), QStringLiteral("30:00\n25:00\nPlayers (3/7)\nRook|1|Alive\n"
                                        "Sniper|1|Dead\nGhost7|Unassigned|Alive"));
    // The whole message shows, however many lines it wraps onto.
    auto *motd = named<QLabel>(*info, "lblMOTD");
    EXPECT_EQ(motd->text(), QString::fromLatin1(welcome));
    QApplication::processEvents();
    EXPECT_GE(motd->height(), motd->heightForWidth(motd->width()));
    EXPECT_TRUE(info->rect().contains(motd->mapTo(info, motd->rect().bottomRight())));
    // Refresh sends a query at once: the frame shows the waiting state.
    named<QPushButton>(*info, "cmdRefresh")->click();
    EXPECT_EQ(frameTitle(), QStringLiteral("Game Info - 1"));

    app.clickRow(team);
    app.tab->cmdInfo_Click();
    EXPECT_EQ(info->windowTitle(), QStringLiteral("127.20.19.2  -  Hard Teams"));
    // Patch 1.2 servers do not tell their timings; in debrief no time is left.
    EXPECT_EQ(settings(), QStringLiteral("Patch: 1.2\n"
                                         "Game mode: Team\n"
                                         "Mission type: Team Sharpshooter\n"
                                         "Password: None\n"
                                         "Respawns: None\n"
                                         "Respawn wait: n/a\n"
                                         "IFF: None\n"
                                         "Threat indicator: Off\n"
                                         "Observers: Not allowed\n"
                                         "Start timer: Off\n"
                                         "Debrief time: n/a\n"
                                         "Weapon restrictions: None"));
    EXPECT_EQ(players(), QStringLiteral("15:00\nn/a\nPlayers (3/12)\nViper|1|Alive\n"
                                        "Echo|2|Dead\nNomad|2|Alive"));
}

#ifndef Q_OS_WIN
TEST(ServersTab, LaunchStartsTheGameWithSeparateArguments) {
    App app;
    const QString log = QStringLiteral("runner.log");
    app.dir.installRunner(log, true); // the stand-in game runs too
    // The game as an install from CD leaves it: found, and started by the name it has.
    const QString game = app.dir.path(QStringLiteral("GHOSTRECON.EXE"));
    ASSERT_TRUE(QFile::rename(app.dir.path(QStringLiteral("GhostRecon.exe")), game));
    app.add(QStringLiteral("127.20.16.1"));
    app.add(QStringLiteral("127.20.16.2"), {}, QStringLiteral("se cret\"x"));
    app.tab->RefreshList();

    // Nothing selected: nothing starts, nothing is shown.
    app.tab->cmdLaunch_Click();
    realInput::doubleClick(app.list()->viewport(), QPoint(5, 200));
    EXPECT_EQ(app.launcher.started, 0);

    const struct {
        const char *ip;
        QStringList arguments;
    } cases[] = {
        {"127.20.16.1", {game, QStringLiteral("-client"), QStringLiteral("127.20.16.1")}},
        {"127.20.16.2",
         {game, QStringLiteral("-client"), QStringLiteral("127.20.16.2"),
          QStringLiteral("-password"), QStringLiteral("se cret\"x")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.ip);
        QFile::remove(app.dir.path(log));
        app.clickRow(QString::fromLatin1(c.ip));
        // A double click on empty space below the rows joins the selected server.
        realInput::doubleClick(app.list()->viewport(),
                               QPoint(5, app.list()->viewport()->height() - 3));
        EXPECT_EQ(app.dir.waitForLines(log), c.arguments);
    }
    // The stand-in game itself ran and saw the same arguments.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return QFile::exists(app.dir.path(QStringLiteral("launches.log"))); }, 3000));

    // A runner that cannot start: the reason is shown with Retry/Cancel.
    const ScopedEnv noRunner("GRQUORVEL_WINE", "/nonexistent/wine");
    app.prompter.expect(QStringLiteral("An Error has occured"), Answer::Retry,
                        QStringLiteral("/nonexistent/wine"));
    app.prompter.expect(QStringLiteral("An Error has occured"), Answer::Cancel);
    app.find<QPushButton>("cmdLaunch")->click();
    EXPECT_EQ(app.prompter.lastShown().buttons, Buttons::RetryCancel);
}
#endif

TEST(PingAll, ProgressCancelAndEmptyList) {
    {
        App app;
        // With nothing to ping, the window closes by itself.
        frmPingAll empty(*app.root, app.main);
        empty.exec();
        EXPECT_EQ(named<QLabel>(empty, "lblPingStatus")->text(), QStringLiteral("..."));

        for (const char *ip : {"127.20.17.1", "127.20.17.2", "127.20.17.3"})
            app.add(QString::fromLatin1(ip))->setPingStale(true);
        frmPingAll window(*app.root, app.main);
        auto *bar = named<QProgressBar>(window, "pbrPingedServers");
        std::vector<int> values;
        QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) { values.push_back(v); });
        window.exec();
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Pinging Servers"));
        EXPECT_EQ(named<QLabel>(window, "lblPingStatus")->text(),
                  QStringLiteral("Pinging 3 servers..."));
        EXPECT_EQ(bar->maximum(), 3);
        EXPECT_EQ(values, std::vector<int>({0, 1, 2, 3}));
        for (const auto &record : *app.root->GRServers())
            EXPECT_FALSE(record.PingStale());
    }
    {
        // Cancel once the first echoes are out: no new ones start, those out still land.
        App app;
        QSet<quint32> silent;
        for (int i = 1; i <= frmPingAll::window + 6; ++i) {
            clsGRServer *record = app.add(QStringLiteral("127.20.18.%1").arg(i));
            record->setPing(4321);
            record->setPingStale(true);
            silent.insert(QHostAddress(record->IP()).toIPv4Address());
        }
        app.root->Ping()->echo().setUnanswered(silent);
        frmPingAll window(*app.root, app.main);
        auto *bar = named<QProgressBar>(window, "pbrPingedServers");
        QObject::connect(bar, &QProgressBar::valueChanged, &window, [&](int value) {
            if (value != 0)
                return;
            QTimer::singleShot(0, &window,
                               [&] { named<QPushButton>(window, "cmdCancel")->click(); });
        });
        window.exec();
        EXPECT_TRUE(window.CancelRequested());
        // How many servers `test` holds for.
        auto count = [&](auto test) {
            int n = 0;
            for (const clsGRServer &r : *app.root->GRServers())
                n += test(r) ? 1 : 0;
            return n;
        };
        EXPECT_EQ(count([](const clsGRServer &r) { return !r.PingStale(); }), frmPingAll::window);
        // Once those out have landed nothing is in flight: no new one started meanwhile.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return count([](const clsGRServer &r) { return r.Ping() == 0; }) ==
                           frmPingAll::window &&
                       app.root->Ping()->echo().pending() == 0;
            },
            3000));
        EXPECT_EQ(count([](const clsGRServer &r) { return r.PingStale(); }), 6);
    }
}

#ifndef Q_OS_WIN
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

TEST(PingAll, WithoutIcmpTheWindowSaysSoOnce) {
    // This thread gives up raw sockets for the test; they come back when it ends.
    struct NoRawSockets {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct saved[2]{};
        bool dropped = false;
        NoRawSockets() {
            if (::syscall(SYS_capget, &header, saved) != 0)
                return;
            __user_cap_data_struct less[2] = {saved[0], saved[1]};
            less[CAP_TO_INDEX(CAP_NET_RAW)].effective &= ~CAP_TO_MASK(CAP_NET_RAW);
            dropped = ::syscall(SYS_capset, &header, less) == 0;
        }
        ~NoRawSockets() {
            if (dropped)
                ::syscall(SYS_capset, &header, saved);
        }
    } noRaw;
    if (platform::IcmpEcho probe(100); probe.kind() != platform::IcmpEcho::Kind::None)
        GTEST_SKIP() << "this user may open ICMP sockets anyway";

    App app;
    ASSERT_TRUE(app.root->Ping()->usesQueryRoundTrip());
    for (const char *ip : {"127.20.20.1", "127.20.20.2", "127.20.20.3"})
        app.add(QString::fromLatin1(ip))->setPingStale(true);
    frmPingAll window(*app.root, app.main);
    auto *note = named<QLabel>(window, "lblPingNote");
    bool shownWhileOpen = false;
    QObject::connect(named<QProgressBar>(window, "pbrPingedServers"), &QProgressBar::valueChanged,
                     &window, [&] { shownWhileOpen = shownWhileOpen || note->isVisible(); });
    window.exec();
    EXPECT_TRUE(shownWhileOpen);
    EXPECT_EQ(note->text(), app.root->Ping()->fallbackNote());
    EXPECT_FALSE(note->text().isEmpty());
    EXPECT_TRUE(app.prompter.shown().empty())
        << "the note is told in the window, not once per server";
    for (const auto &record : *app.root->GRServers())
        EXPECT_FALSE(record.PingStale());
}
#endif
