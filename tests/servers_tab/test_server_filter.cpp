#include "app/QtAppShell.h"
#include "app/clsGRQuorvel.h"
#include "app/frmMain.h"
#include "platform/ProcessLauncher.h"
#include "servers/GRQueryProtocol.h"
#include "servers/clsGRServer.h"
#include "servers/clsGRServers.h"
#include "servers/clsGlobalGRControls.h"
#include "servers_tab/ServerFilterProxy.h"
#include "servers_tab/ServerListModel.h"
#include "servers_tab/ctlGRServers.h"
#include "support/GameDir.h"
#include "support/ScriptedPrompter.h"
#include "support/Widgets.h"
#include "support/WindowApp.h"
#include "watch/WatchEngine.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The whole program up to its main window; list ticks are run by hand.
struct App : WindowApp {
    App()
        : WindowApp({.timing = {.queryWindowMs = 200, .listTickMs = 60000, .pingTimeoutMs = 200},
                     .active = true}) {}
    void tick() const { tab->tmrListStatusRefresh_Timer(); }
    // The last number of the address of each row shown, in address order.
    std::string shown() const {
        QStringList last = order().split(u' ', Qt::SkipEmptyParts);
        last.sort();
        return last.join(u' ').toStdString();
    }
    std::string countLine() const { return tab->countLine().toStdString(); }
    void type(const QString &text) const { QTest::keyClicks(QApplication::focusWidget(), text); }
    void click(const char *box) const { QTest::mouseClick(find<QCheckBox>(box), Qt::LeftButton); }
};

void answer(clsGRServer &record, const QString &name, const QString &map,
            const QStringList &players, int slotCount, grquery::GameSettings settings = {}) {
    grquery::ServerStatus s;
    s.settings = settings;
    s.name = name;
    s.map = map;
    s.mission = QStringLiteral("Recon");
    s.mods = QStringLiteral("origmiss");
    s.maxPlayers = slotCount;
    s.players = players;
    s.gameStateCode = 4;
    s.length = 600;
    ASSERT_TRUE(record.DataArrival(grquery::encodeReply(s)));
}

grquery::GameSettings settings(bool password, int gameMode) {
    grquery::GameSettings g;
    g.password = password;
    g.gameMode = gameMode;
    return g;
}

} // namespace

TEST(ServerFilter, KeyPressesInTheSearchBoxAndTheQuickFiltersNarrowTheListUnderTheTick) {
    App app;
    clsGRServer *alpha = app.add(QStringLiteral("127.20.30.1"));
    clsGRServer *bravo = app.add(QStringLiteral("127.20.30.2"));
    clsGRServer *charlie = app.add(QStringLiteral("127.20.30.3"));
    clsGRServer *silent = app.add(QStringLiteral("127.20.30.4"));
    app.add(QStringLiteral("127.20.30.5")); // never asked
    answer(*alpha, QStringLiteral("Alpha Base"), QStringLiteral("Caves"),
           {QStringLiteral("Kilo"), QStringLiteral("Lima")}, 8);
    answer(*bravo, QStringLiteral("Bravo"), QStringLiteral("Farm"), {}, 8);
    answer(*charlie, QStringLiteral("Charlie"), QStringLiteral("Castle"),
           {QStringLiteral("P1"), QStringLiteral("P2")}, 2);
    silent->Refresh(); // nothing listens there
    ASSERT_TRUE(QTest::qWaitFor([&] { return silent->status() == clsGRServer::NoReply; }));
    app.tab->RefreshList();
    app.tick();
    EXPECT_EQ(app.shown(), "1 2 3 4 5");
    EXPECT_EQ(app.countLine(), "5 of 5 servers shown, 0 hidden by filters");

    // Ctrl+F from anywhere in the window puts the typing into the search box.
    app.find<QTableView>("lsvGRServers")->setFocus();
    QTest::keyClick(app.main, Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(QApplication::focusWidget(), app.find<QLineEdit>("txtSearch"));
    const struct {
        const char *typed;
        const char *rows;
    } searches[] = {
        {"kilo", "1"},            // a player's name
        {"LIMA", "1"},            // letter case ignored
        {"farm", "2"},            // the map
        {"127.20.30.3", "3"},     // the address
        {"127.20.30.5", "5"},     // the address of a server never asked
        {"alpha base", "1"},      // every word, each anywhere
        {"recon 1", "3"},         // beside a word, "1" is P1, not the 1 of every address
        {"kilo 127.20.30", "1"},  // a word with a dot looks in the address too
        {"origmiss castle", "3"}, // the mods and the map
        {"recon", "1 2 3"},       // the mission, of the servers that answered
        {"nobody", ""},
    };
    for (const auto &s : searches) {
        app.type(QString::fromLatin1(s.typed));
        EXPECT_EQ(app.shown(), s.rows) << s.typed;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_TRUE(app.find<QLineEdit>("txtSearch")->text().isEmpty()) << s.typed;
    }
    app.type(QStringLiteral("nobody"));
    EXPECT_EQ(app.countLine(), "0 of 5 servers shown, 5 hidden by filters");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

    // Each quick filter hides what it says, and the count line follows.
    app.click("chkHideEmpty");
    EXPECT_EQ(app.shown(), "1 3 4 5");
    app.click("chkHideFull");
    EXPECT_EQ(app.shown(), "1 4 5");
    app.click("chkHideSilent");
    EXPECT_EQ(app.shown(), "1 5");
    EXPECT_EQ(app.countLine(), "2 of 5 servers shown, 3 hidden by filters");

    // The tick goes on under the filters: Bravo fills up and shows, Alpha empties and goes.
    answer(*bravo, QStringLiteral("Bravo"), QStringLiteral("Farm"), {QStringLiteral("Kilo")}, 8);
    answer(*alpha, QStringLiteral("Alpha Base"), QStringLiteral("Caves"), {}, 8);
    app.tick();
    EXPECT_EQ(app.shown(), "2 5");
    app.find<QLineEdit>("txtSearch")->setFocus();
    app.type(QStringLiteral("kilo"));
    EXPECT_EQ(app.shown(), "2") << "Kilo moved to Bravo";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

    // A server where a buddy plays stays whatever the filters say.
    ASSERT_TRUE(app.root->Watches() && app.root->Watches()->isAvailable());
    app.root->Watches()->addBuddy(QStringLiteral("p?"));
    app.type(QStringLiteral("bravo"));
    EXPECT_EQ(app.shown(), "2"); // Charlie's players are not seen yet
    app.tick();
    EXPECT_EQ(app.shown(), "2 3");
    EXPECT_EQ(app.countLine(), "2 of 5 servers shown, 3 hidden by filters");
    app.root->Watches()->removeBuddy(QStringLiteral("p?"));
    app.tick();
    EXPECT_EQ(app.shown(), "2");
}

TEST(ServerFilter, PasswordAndGameModeFiltersReadWhatTheServersSay) {
    App app;
    clsGRServer *coop = app.add(QStringLiteral("127.20.40.1"));
    clsGRServer *solo = app.add(QStringLiteral("127.20.40.2"));
    clsGRServer *team = app.add(QStringLiteral("127.20.40.3"));
    app.tab->RefreshList();
    answer(*coop, QStringLiteral("Coop"), QStringLiteral("Caves"), {QStringLiteral("A")}, 8,
           settings(true, 2));
    answer(*solo, QStringLiteral("Solo"), QStringLiteral("Farm"), {QStringLiteral("B")}, 8,
           settings(false, 3));
    answer(*team, QStringLiteral("Team"), QStringLiteral("Castle"), {QStringLiteral("C")}, 8,
           settings(false, 4));
    app.tick();
    EXPECT_EQ(app.shown(), "1 2 3");

    auto *mode = app.find<QComboBox>("cboGameMode");
    ASSERT_TRUE(mode->isEnabled());
    const std::pair<int, std::string> modes[] = {{1, "1"}, {2, "2"}, {3, "3"}, {0, "1 2 3"}};
    for (const auto &[index, shown] : modes) {
        mode->setCurrentIndex(index);
        EXPECT_EQ(app.shown(), shown) << mode->currentText().toStdString();
    }
    app.click("chkHidePassworded");
    EXPECT_EQ(app.shown(), "2 3");
    EXPECT_EQ(app.countLine(), "2 of 3 servers shown, 1 hidden by filters");
}

TEST(ServerFilter, HiddenRowsKeepTheirPlaceInTheSortAndTheSelectionFollowsItsRow) {
    App app;
    // Names in one order (and in both cases), player counts in another; Kilo plays on 2, 4, 6.
    const char *names[] = {"echo", "Delta", "foxtrot", "Alpha", "charlie", "Bravo"};
    for (int i = 1; i <= 6; ++i) {
        QStringList players;
        for (int p = 0; p < i; ++p)
            players << QStringLiteral("N%1").arg(p);
        if (i % 2 == 0)
            players << QStringLiteral("Kilo");
        answer(*app.add(QStringLiteral("127.20.32.%1").arg(i)), QString::fromLatin1(names[i - 1]),
               QStringLiteral("Map"), players, 16);
    }
    app.tab->RefreshList();
    app.tick();
    EXPECT_EQ(app.order(), QStringLiteral("1 2 3 4 5 6"));

    // The selected row stays selected while the search grows and shrinks around it.
    app.clickRow(QStringLiteral("127.20.32.4"));
    ASSERT_EQ(app.tab->selectedKey(), QStringLiteral("127.20.32.4"));
    app.find<QLineEdit>("txtSearch")->setFocus();
    app.type(QStringLiteral("kilo"));
    EXPECT_EQ(app.order(), QStringLiteral("2 4 6"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    app.type(QStringLiteral("o n3"));
    EXPECT_EQ(app.order(), QStringLiteral("4 6"));
    EXPECT_EQ(app.tab->selectedKey(), QStringLiteral("127.20.32.4"));
    EXPECT_EQ(app.countLine(), "2 of 6 servers shown, 4 hidden by filters");

    // Sorting while rows are hidden sorts them too: they come back in their place.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    app.type(QStringLiteral("kilo"));
    app.clickHeader(ServerListModel::ColName);
    EXPECT_EQ(app.order(), QStringLiteral("4 6 2")); // Alpha, Bravo, Delta
    app.find<QLineEdit>("txtSearch")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(app.order(), QStringLiteral("4 6 5 2 1 3"));
    EXPECT_EQ(app.tab->selectedKey(), QStringLiteral("127.20.32.4"));

    // A search that hides the selected row takes the selection (and the buttons) with it.
    app.type(QStringLiteral("foxtrot"));
    EXPECT_EQ(app.order(), QStringLiteral("3"));
    EXPECT_TRUE(app.tab->selectedKey().isEmpty());
    app.tick();
    EXPECT_FALSE(named<QPushButton>(*app.tab, "cmdRemove")->isEnabled());

    // Rows leaving the list, hidden or shown, leave the rest where they were.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    app.type(QStringLiteral("kilo"));
    app.tab->listModel()->removeKey(QStringLiteral("127.20.32.1")); // hidden
    app.clickRow(QStringLiteral("127.20.32.6"));
    app.tick();
    QTest::mouseClick(named<QPushButton>(*app.tab, "cmdRemove"), Qt::LeftButton);
    EXPECT_EQ(app.order(), QStringLiteral("4 2"));
    EXPECT_EQ(app.countLine(), "2 of 4 servers shown, 2 hidden by filters");
    // The tick still finds each row's record after the renumbering, and moves a changed row to
    // its place among those shown.
    answer(*app.root->GRServers()->Item(QStringLiteral("127.20.32.2")), QStringLiteral("Able"),
           QStringLiteral("Map"), {QStringLiteral("Kilo")}, 16);
    app.tick();
    EXPECT_EQ(app.order(), QStringLiteral("2 4"));
    app.find<QLineEdit>("txtSearch")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(app.order(), QStringLiteral("2 4 5 3"));
}
