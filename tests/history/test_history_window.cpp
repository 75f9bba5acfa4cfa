#include "app/QtAppShell.h"
#include "app/frmMain.h"
#include "history/HistoryCharts.h"
#include "history/HistoryStore.h"
#include "servers/GRQueryProtocol.h"
#include "servers_tab/ServerListModel.h"
#include "servers_tab/ctlGRServers.h"
#include "servers_tab/frmServerInfo.h"
#include "support/CoreApp.h"
#include "support/Widgets.h"
#include "support/WindowApp.h"

#include <QAction>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>

#include <gtest/gtest.h>

namespace {
// The program up to its main window on a throw-away game directory, history included.
struct App : WindowApp {
    explicit App(const QByteArray &historyFile = {})
        : WindowApp({.timing = {.queryWindowMs = 200, .listTickMs = 60000},
                     .contents = {},
                     .prepare = [historyFile](GameDir &dir) {
                         if (!historyFile.isNull())
                             dir.write(HistoryStore::fileName(), historyFile);
                     }}) {}
    // An answered server, selected, with its details window open.
    frmServerInfo *openInfo(const QString &ip) {
        grquery::ServerStatus reply;
        reply.name = QStringLiteral("Alpha");
        reply.maxPlayers = 8;
        reply.gameStateCode = 4;
        add(ip)->DataArrival(grquery::encodeReply(reply));
        tab->RefreshList();
        tab->tmrListStatusRefresh_Timer();
        clickRow(ip);
        tab->cmdInfo_Click();
        return tab->infoWindow();
    }
};

HistoryObservation at(qint64 time, int players) {
    HistoryObservation o;
    o.address = QStringLiteral("127.20.31.1");
    o.time = time;
    o.answered = players >= 0;
    o.players = qMax(0, players);
    o.maxPlayers = 8;
    for (int i = 0; i < o.players; ++i)
        o.names << QStringLiteral("P%1").arg(i);
    return o;
}

int localHour(qint64 secs) {
    return QDateTime::fromSecsSinceEpoch(secs).time().hour();
}

QString localText(qint64 secs) {
    return QDateTime::fromSecsSinceEpoch(secs).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}
} // namespace

TEST(HistoryWindow, DetailsShowTheTextsAndBothChartsOfAKnownHistory) {
    App app;
    HistoryStore &store = *app.root->History();
    ASSERT_TRUE(store.isOn()) << store.offReason().toStdString();
    const QString ip = QStringLiteral("127.20.31.1");
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const qint64 hour = now / 3600 * 3600;
    // Four weeks: full in one hour of the day, silent in another.
    for (int d = 0; d < 27; ++d) {
        for (int k = 0; k < 4; ++k) {
            store.record(at(hour - 12 * 3600 - d * 86400 + 600 + k * 60, 6));
            store.record(at(hour - 18 * 3600 - d * 86400 + 600 + k * 60, -1));
        }
    }
    // The last hours: two, then five, now four players.
    store.record(at(hour - 3 * 3600 + 600, 2));
    store.record(at(hour - 2 * 3600 + 600, 5));
    store.record(at(now - 60, 4));
    store.waitForWrites();

    frmServerInfo *info = app.openInfo(ip);
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(named<QLabel>(*info, "lblHistoryOff")->isHidden());
    // The list's own answer to this opening query is recorded later; what was fed shows.
    EXPECT_EQ(named<QLabel>(*info, "lblLastSeenData")->text(), localText(now - 60));
    // 7 days: 56 queries of the pattern (28 answered) and the 3 recent answers.
    EXPECT_EQ(named<QLabel>(*info, "lblAnsweredData")->text(), QStringLiteral("53% (last 7 days)"));

    auto *busy = named<QChartView>(*info, "chtBusyHours");
    ASSERT_EQ(busy->chart()->series().size(), 1);
    QBarSet *bars = static_cast<QBarSeries *>(busy->chart()->series()[0])->barSets()[0];
    ASSERT_EQ(bars->count(), 24);
    EXPECT_DOUBLE_EQ(bars->at(localHour(hour - 12 * 3600 + 600)), 6.0);
    EXPECT_DOUBLE_EQ(bars->at(localHour(hour - 18 * 3600 + 600)), 0.0);
    EXPECT_DOUBLE_EQ(bars->at(localHour(hour - 2 * 3600 + 600)), 5.0);

    auto *day = named<QChartView>(*info, "chtPlayers");
    QList<QPointF> points;
    for (QAbstractSeries *series : day->chart()->series())
        points << static_cast<QLineSeries *>(series)->points();
    ASSERT_FALSE(points.isEmpty());
    EXPECT_EQ(points.last().y(), 4.0) << "ends with the players now";
    EXPECT_NEAR(points.last().x(), double(now) * 1000, 15 * 60 * 1000.0);
    double highest = 0;
    for (const QPointF &p : points)
        highest = qMax(highest, p.y());
    EXPECT_EQ(highest, 6.0);
    EXPECT_GE(points.first().x(), double(now - 86400) * 1000 - 60000) << "only the last day";

    // The list's tool tip for the row tells when it last had players.
    const QStringList lines = app.toolTip(ip).split(u'\n');
    EXPECT_TRUE(lines.contains(QStringLiteral("Last seen with players: ") + localText(now - 60)))
        << lines.join(u'|').toStdString();
}

TEST(HistoryWindow, ADamagedFileLeavesTheProgramRunningWithTheHistoryOff) {
    App app("not a database, whatever its name says");
    EXPECT_FALSE(app.root->History()->isOn());
    frmServerInfo *info = app.openInfo(QStringLiteral("127.20.31.2"));
    ASSERT_NE(info, nullptr);
    auto *off = named<QLabel>(*info, "lblHistoryOff");
    EXPECT_TRUE(off->isVisibleTo(info));
    EXPECT_TRUE(off->text().startsWith(
        QStringLiteral("History is off for this run: the damaged history file was kept as ")));
    EXPECT_FALSE(named<QChartView>(*info, "chtBusyHours")->isVisibleTo(info));
    EXPECT_FALSE(app.tab->rowToolTip(QStringLiteral("127.20.31.2")).contains(u"Last seen"));
    // The watches live in that file: they are off too, and nothing asks the player anything.
    EXPECT_FALSE(named<QAction>(*app.shell->mainWindow(), "mnuFileBuddies")->isEnabled());
    EXPECT_EQ(app.shell->mainWindow()->notifier(), nullptr);
    EXPECT_TRUE(app.prompter.shown().empty());
}
