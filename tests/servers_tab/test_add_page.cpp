#include "options/clsOptions.h"
#include "servers/HostLookup.h"
#include "servers/SimProcess.h"
#include "servers/clsGRServer.h"
#include "servers/clsGRServers.h"
#include "servers_tab/ServerIcons.h"
#include "servers_tab/ServerListModel.h"
#include "support/Widgets.h"
#include "support/WindowApp.h"

#include <QAbstractProxyModel>
#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct App : WindowApp {
    App()
        : WindowApp({.timing = {.queryWindowMs = 300, .listTickMs = 60000, .pingTimeoutMs = 200},
                     .active = true}) {}
    // Types into the Add page's address box as a player does, then clicks Add.
    void addByHand(const QString &text) const {
        auto *ip = find<QLineEdit>("txtAddIP");
        ip->setFocus();
        ip->selectAll();
        QTest::keyClick(ip, Qt::Key_Delete);
        QTest::keyClicks(ip, text);
        QTest::mouseClick(find<QPushButton>("cmdAddServer"), Qt::LeftButton);
    }
};

// Stands in for the system's resolver where a lookup must not leave this machine: it holds
// every lookup until told how to answer, so the test sees what the window does meanwhile.
struct HeldLookups {
    struct Pending {
        QString name;
        QPointer<QObject> context;
        HostLookup::Done done;
    };
    HeldLookups() {
        HostLookup::setResolver(
            [this](const QString &name, QObject *context, HostLookup::Done done) {
                asked << name;
                pending.push_back({name, context, std::move(done)});
            });
    }
    ~HeldLookups() { HostLookup::setResolver({}); }
    HeldLookups(const HeldLookups &) = delete;
    HeldLookups &operator=(const HeldLookups &) = delete;
    void answerNothing() {
        for (Pending &p : std::exchange(pending, {}))
            if (p.context)
                p.done(std::nullopt);
    }
    QStringList asked;
    std::vector<Pending> pending;
};

} // namespace

TEST(AddPage, TakesAnAddressOnceWithoutTheBlanksAroundItAndRefusesOtherText) {
    App app;
    for (const char *bad :
         {"1.2.3.4x", "256.1.1.1", "1.2.3", "1..2.3", "game server", "99999999999.1.1.1",
          "-dash.example", "under_score.example", "gr.example.org/x"}) {
        SCOPED_TRACE(bad);
        app.prompter.expect(QStringLiteral("Invalid IP address"), Answer::Ok,
                            QStringLiteral("Please enter a valid IP address. At this time only "
                                           "numerical IPs are accepted"));
        app.addByHand(QString::fromLatin1(bad));
        EXPECT_EQ(app.prompter.lastShown().icon, Icon::Exclamation);
        EXPECT_EQ(app.root->GRServers()->Count(), 0);
        EXPECT_EQ(QApplication::focusWidget(), app.find<QLineEdit>("txtAddIP"));
    }

    auto *password = app.find<QLineEdit>("txtAddPassword");
    password->setText(QStringLiteral("first"));
    app.addByHand(QStringLiteral(" 127.20.13.1  "));
    clsGRServer *record = app.root->GRServers()->Item(QStringLiteral("127.20.13.1"));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->IP(), QStringLiteral("127.20.13.1"));
    EXPECT_EQ(record->status(), clsGRServer::Waiting);
    // The same server again keeps its one row and what it had.
    record->setName(QStringLiteral("Kept"));
    password->setText(QStringLiteral("second"));
    app.addByHand(QStringLiteral("127.20.13.1"));
    EXPECT_EQ(app.tab->listModel()->rowCount(), 1);
    EXPECT_EQ(record->Name() + u'|' + record->Password(), QStringLiteral("Kept|first"));
}

#ifndef Q_OS_WIN
TEST(AddPage, AHostNameIsKeptAsTypedQueriedAndJoinedAtTheAddressItResolvesTo) {
    // "localhost" resolves from the system's own hosts file, without any name server.
    const SimProcess sim(R"({"servers": [{"address": "127.0.0.1",
                                          "state": {"name": "Named Host"}}]})");
    ASSERT_TRUE(sim.isReady());
    App app;
    const QString log = QStringLiteral("runner.log");
    app.dir.installRunner(log);

    app.addByHand(QStringLiteral("LocalHost"));
    clsGRServer *record = app.root->GRServers()->Item(QStringLiteral("LocalHost"));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->IP(), QStringLiteral("LocalHost"));
    EXPECT_EQ(app.tab->listModel()->key(0), QStringLiteral("LocalHost"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return record->status() != clsGRServer::Waiting; }, 3000));
    EXPECT_EQ(record->status(), clsGRServer::Answered);
    EXPECT_EQ(record->Name(), QStringLiteral("Named Host"));

    // The game wants an address: it gets the one the name resolved to.
    app.clickRow(QStringLiteral("LocalHost"));
    QTest::mouseClick(app.find<QPushButton>("cmdLaunch"), Qt::LeftButton);
    EXPECT_EQ(app.dir.waitForLines(log).mid(1),
              (QStringList{QStringLiteral("-client"), QStringLiteral("127.0.0.1")}));

    // The preferences file keeps the name as it was typed.
    app.root->Options()->Save(app.root->PreferencesFileName());
    EXPECT_TRUE(app.dir.read(QStringLiteral("GRQuorvelOptions.xml"))
                    .contains("<Server IP=\"LocalHost\" Name=\"Named Host\""));
}
#endif

TEST(AddPage, ANameThatDoesNotResolveShowsAsSilentAndTheWindowNeverWaitsOnIt) {
    HeldLookups lookups;
    App app;
    app.addByHand(QStringLiteral("gr.example.org"));
    // Add came back while the name is still being looked up: the row is there, waiting.
    clsGRServer *record = app.root->GRServers()->Item(QStringLiteral("gr.example.org"));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->status(), clsGRServer::Waiting);
    EXPECT_TRUE(lookups.asked.contains(QStringLiteral("gr.example.org")));
    app.tab->tmrListStatusRefresh_Timer();
    EXPECT_EQ(app.tab->listModel()->rowIcon(0), ServerIcons::GreyEmblem);

    lookups.answerNothing();
    ASSERT_TRUE(QTest::qWaitFor([&] { return record->status() == clsGRServer::NoReply; }, 3000));
    app.tab->tmrListStatusRefresh_Timer();
    EXPECT_EQ(app.tab->listModel()->rowIcon(0), ServerIcons::RedEmblem);
    EXPECT_EQ(app.tab->listModel()->cell(0, ServerListModel::ColPlayers), QStringLiteral("-/-"));

    // Every query looks the name up again: it may point elsewhere by now.
    const qsizetype before = lookups.asked.count(QStringLiteral("gr.example.org"));
    app.clickRow(QStringLiteral("gr.example.org"));
    QTest::mouseClick(app.find<QPushButton>("cmdRefresh"), Qt::LeftButton);
    EXPECT_GT(lookups.asked.count(QStringLiteral("gr.example.org")), before);
    lookups.answerNothing();
    ASSERT_TRUE(QTest::qWaitFor([&] { return record->status() == clsGRServer::NoReply; }, 3000));

    // With no address to give the game, Launch says so instead of starting it.
    app.prompter.expect(QStringLiteral("An Error has occured"), Answer::Cancel,
                        QStringLiteral("gr.example.org has not been found on the network"));
    QTest::mouseClick(app.find<QPushButton>("cmdLaunch"), Qt::LeftButton);
    EXPECT_EQ(app.prompter.lastShown().buttons, Buttons::RetryCancel);
}
