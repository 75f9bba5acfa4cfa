#include "app/frmMain.h"
#include "servers_tab/ServerFilterProxy.h"
#include "servers_tab/ctlGRServers.h"
#include "support/GameDir.h"
#include "support/ProgramRun.h"
#include "support/ScriptedPrompter.h"
#include "support/Widgets.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace {
struct Seen {
    QRect geometry;
    int tab = -1;
    int sortColumn = -1;
    Qt::SortOrder sortOrder = Qt::AscendingOrder;
    int nameWidth = 0;
    ServerFilter filter;
};

Seen seenIn(frmMain &main) {
    ctlGRServers &tab = *main.serversPane();
    return {main.geometry(),
            main.tabs()->currentIndex(),
            tab.sortColumn(),
            tab.sortOrder(),
            tab.listView()->horizontalHeader()->sectionSize(1),
            tab.filter()};
}
} // namespace

TEST(WindowState, TheWindowTheListsOrderAndTheFiltersComeBackAfterARestart) {
    GameDir dir{{.optionsXml = false}};
    ScriptedPrompter prompter;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect placed(screen.topLeft() + QPoint(30, 20), QSize(700, 640));
    Seen first;
    runProgramOn(dir, prompter, [&](frmMain &main) {
        main.setGeometry(placed);
        main.tabs()->setCurrentIndex(frmMain::TabServers);
        ctlGRServers &tab = *main.serversPane();
        named<QLineEdit>(tab, "txtSearch")->setFocus();
        QTest::keyClicks(named<QLineEdit>(tab, "txtSearch"), QStringLiteral("kilo"));
        QTest::mouseClick(named<QCheckBox>(tab, "chkHideEmpty"), Qt::LeftButton);
        QTest::mouseClick(named<QCheckBox>(tab, "chkHideSilent"), Qt::LeftButton);
        QHeaderView *header = tab.listView()->horizontalHeader();
        for (int i = 0; i < 2; ++i) // Name, descending
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(1) + 5, 5));
        header->resizeSection(1, 143);
        first = seenIn(main);
        quitWith(main);
    });
    EXPECT_EQ(first.filter.search, QStringLiteral("kilo"));
    EXPECT_TRUE(first.filter.hideEmpty && first.filter.hideSilent && !first.filter.hideFull);
    EXPECT_EQ(first.sortOrder, Qt::DescendingOrder);
    // Our own file keeps it; the preferences keep only their own elements.
    EXPECT_FALSE(dir.read(QStringLiteral("GRQuorvelState.ini")).isEmpty());
    EXPECT_FALSE(dir.read(QStringLiteral("GRQuorvelOptions.xml")).contains("kilo"));

    Seen second;
    runProgramOn(dir, prompter, [&](frmMain &main) {
        second = seenIn(main);
        EXPECT_EQ(main.serversPane()->countLine(),
                  QStringLiteral("0 of 0 servers shown, 0 hidden by filters"));
    });
    EXPECT_EQ(first.geometry.topLeft(), placed.topLeft());
    EXPECT_EQ(second.geometry, first.geometry);
    EXPECT_EQ(second.tab, frmMain::TabServers);
    EXPECT_EQ(second.sortColumn, 1);
    EXPECT_EQ(second.sortOrder, Qt::DescendingOrder);
    EXPECT_EQ(second.nameWidth, 143);
    EXPECT_TRUE(second.filter == first.filter);
}

TEST(WindowState, APlaceOffTheScreensAndNonsenseInTheFileAreLeftAside) {
    GameDir dir{{.optionsXml = false}};
    ScriptedPrompter prompter;
    QRect fresh;
    runProgramOn(dir, prompter, [&](frmMain &main) { fresh = main.geometry(); });
    dir.write(QStringLiteral("GRQuorvelState.ini"),
              "[window]\ngeometry=@Rect(6000 5000 640 480)\ntab=17\n"
              "[servers]\nsortColumn=99\ncolumnWidths=\"x,-5,99999\"\ngameMode=42\n"
              "search=\x01\xff\n");
    runProgramOn(dir, prompter, [&](frmMain &main) {
        EXPECT_EQ(main.geometry().size(), fresh.size());
        EXPECT_TRUE(
            QGuiApplication::primaryScreen()->availableGeometry().intersects(main.geometry()));
        EXPECT_GE(main.tabs()->currentIndex(), 0);
        EXPECT_EQ(main.serversPane()->sortColumn(), 6);
        EXPECT_GT(main.serversPane()->listView()->horizontalHeader()->sectionSize(1), 8);
        EXPECT_EQ(main.serversPane()->filter().gameMode, 0);
    });
}
