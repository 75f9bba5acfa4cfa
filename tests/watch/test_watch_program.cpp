#include "app/ProgramIcon.h"
#include "app/ProgramTray.h"
#include "app/QtAppShell.h"
#include "app/basGlobals.h"
#include "app/basMain.h"
#include "app/frmMain.h"
#include "servers/GRQueryProtocol.h"
#include "servers/SimProcess.h"
#include "servers_tab/ServerListModel.h"
#include "servers_tab/ctlGRServers.h"
#include "support/CoreApp.h"
#include "support/ProgramRun.h"
#include "support/RealInput.h"
#include "support/Widgets.h"
#include "support/WindowApp.h"
#include "watch/BuddiesDialog.h"
#include "watch/DesktopNotifier.h"
#include "watch/WatchDialog.h"
#include "watch/WatchEngine.h"
#include "widgets/SystemTray.h"

#include <QCheckBox>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QHostAddress>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QNetworkDatagram>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

namespace {

// The whole program up to its main window, with a re-query interval of 100 ms.
struct App : WindowApp {
    explicit App(GameDir::Contents contents = {.optionsXml = false})
        : WindowApp({.timing = {.queryWindowMs = 200, .listTickMs = 20, .requeryEveryTicks = 5},
                     .contents = contents,
                     .serversInFront = false}) {}
    clsGRServer *add(const QString &ip, const QString &password = {}) {
        clsGRServer *record = WindowApp::add(ip, {}, password);
        tab->RefreshList();
        return record;
    }
    WatchEngine &watches() const { return *root->Watches(); }
    int row(const QString &ip) const { return tab->listModel()->rowOfKey(ip); }
    // Runs `act` on the modal dialog of type T once it shows, while `open` opens it.
    template <typename T>
    void onDialog(const std::function<void()> &open, const std::function<void(T &)> &act) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            ASSERT_TRUE(QTest::qWaitFor([] { return !visibleWindows<T>().isEmpty(); }, 3000));
            seen = true;
            act(*visibleWindows<T>().first());
        });
        open();
        EXPECT_TRUE(seen);
    }
};

QByteArray scenario(const char *ip, int players, const char *name = "Night Ops") {
    QStringList names;
    for (int i = 0; i < players; ++i)
        names << QStringLiteral("\"P%1\"").arg(i + 1);
    return QStringLiteral(R"({"servers": [{"address": "%1", "state": {"name": "%3",
                          "maxPlayers": 8, "dedicated": false, "players": [%2]}}]})")
        .arg(QLatin1String(ip), names.join(u','), QLatin1String(name))
        .toUtf8();
}

// A session bus of the test's own, with nothing on it until the test puts it there.
struct SessionBus {
    SessionBus() {
        const QString config = dir.filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("<busconfig><type>session</type><listen>unix:dir=%1</listen>"
                                  "<auth>EXTERNAL</auth><policy context=\"default\"><allow "
                                  "send_destination=\"*\" eavesdrop=\"true\"/><allow "
                                  "eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>")
                       .arg(dir.path())
                       .toUtf8());
        file.close();
        daemon.start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--config-file=") + config, QStringLiteral("--print-address"),
                      QStringLiteral("--nofork")});
        if (daemon.waitForReadyRead(10000))
            address = QString::fromUtf8(daemon.readLine().trimmed());
        EXPECT_FALSE(address.isEmpty()) << "dbus-daemon did not start";
    }
    ~SessionBus() {
        for (const QString &name : names)
            QDBusConnection::disconnectFromBus(name);
        daemon.terminate();
        daemon.waitForFinished(5000);
    }
    QDBusConnection connect(const QString &name) {
        names << name;
        return QDBusConnection::connectToBus(address, name);
    }

    QTemporaryDir dir;
    QProcess daemon;
    QString address;
    QStringList names;
};

QStringList menuTexts(QMenu *menu) {
    emit menu->aboutToShow();
    QStringList texts;
    for (const QAction *action : menu->actions())
        texts << action->text();
    return texts;
}

struct TrayOverride {
    explicit TrayOverride(bool available) { overrideSystemTrayAvailable(available); }
    ~TrayOverride() { overrideSystemTrayAvailable(std::nullopt); }
};

const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");

} // namespace

// The desktop's notification service as far as the program uses it: records what it is asked
// to show and tells of a chosen action.
class NotificationStandIn : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Shown {
        QString appName, appIcon, summary, body;
        QStringList actions;
        QVariantMap hints;
    };
    explicit NotificationStandIn(QDBusConnection bus)
        : m_bus(std::move(bus)) {
        EXPECT_TRUE(m_bus.registerObject(path, this, QDBusConnection::ExportAllSlots));
        EXPECT_TRUE(m_bus.registerService(interface));
    }
    void invoke(uint id, const QString &key) {
        QDBusMessage signal =
            QDBusMessage::createSignal(path, interface, QStringLiteral("ActionInvoked"));
        signal << id << key;
        m_bus.send(signal);
    }
    QList<Shown> shown;

public slots:
    uint Notify(const QString &appName, uint, const QString &appIcon, const QString &summary,
                const QString &body, const QStringList &actions, const QVariantMap &hints, int) {
        shown.append({appName, appIcon, summary, body, actions, hints});
        return 40 + static_cast<uint>(shown.size());
    }
    QStringList GetCapabilities() {
        return {QStringLiteral("actions"), QStringLiteral("body"), QStringLiteral("body-markup")};
    }

private:
    QDBusConnection m_bus;
};

TEST(WatchProgram, WatchAndBuddiesDialogsMarkTheRowAndKeepWhatIsChosen) {
    App app;
    const QString ip = QStringLiteral("127.31.1.1");
    app.add(ip);
    app.clickRow(ip);

    // The pop-up menu: "Watch..." right after "Info...", on for a selected row.
    EXPECT_EQ(menuTexts(app.tab->contextMenu()).join(u'|'),
              QStringLiteral("Launch...||Refresh|Info...|Watch...|Remove||Refresh All"));
    EXPECT_EQ(menuTexts(named<QMenu>(*app.main, "mnuFile")).join(u'|'),
              QStringLiteral("Options...|Buddies...||Find LAN Servers...|Import Servers...|Export "
                             "Servers...||Quit"));

    const auto watchWith = [&](const std::function<void(WatchDialog &)> &act) {
        app.onDialog<WatchDialog>([&] { named<QAction>(*app.tab, "mnuWatch")->trigger(); }, act);
    };
    // Cancel keeps nothing.
    watchWith([](WatchDialog &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Watch Server"));
        named<QCheckBox>(d, "chkWatchAnswers")->click();
        named<QPushButton>(d, "cmdCancel")->click();
    });
    EXPECT_FALSE(app.watches().isWatched(ip));
    watchWith([](WatchDialog &d) {
        QSpinBox *count = named<QSpinBox>(d, "spnWatchPlayers");
        EXPECT_EQ(count->value(), 2);
        EXPECT_EQ(named<QCheckBox>(d, "chkWatchPlayers")->text(),
                  QStringLiteral("Tell me when players reach"));
        named<QCheckBox>(d, "chkWatchPlayers")->click();
        count->setFocus();
        count->selectAll();
        QTest::keyClicks(count, QStringLiteral("5"));
        named<QCheckBox>(d, "chkWatchSlot")->click();
        named<QPushButton>(d, "cmdOK")->click();
    });
    const ServerWatch chosen{.address = ip, .playersReach = true, .players = 5, .slotFrees = true};
    EXPECT_EQ(app.watches().watchOf(ip), chosen);
    EXPECT_TRUE(app.tab->listModel()->rowWatched(app.row(ip)));
    // One tip, from the list's own line down to what the history knows.
    const QStringList tip = app.toolTip(ip).split(u'\n');
    EXPECT_EQ(tip.value(1), QStringLiteral("Watched: players reach 5, a slot frees up"));
    EXPECT_TRUE(tip.value(2).startsWith(QStringLiteral("Last seen with players: ")))
        << tip.join(u'|').toStdString();
    // Opened again, the dialog shows the watch.
    watchWith([](WatchDialog &d) {
        EXPECT_TRUE(named<QCheckBox>(d, "chkWatchSlot")->isChecked());
        EXPECT_EQ(named<QSpinBox>(d, "spnWatchPlayers")->value(), 5);
        named<QCheckBox>(d, "chkWatchPlayers")->click();
        named<QCheckBox>(d, "chkWatchSlot")->click();
        named<QPushButton>(d, "cmdOK")->click();
    });
    EXPECT_FALSE(app.watches().isWatched(ip));
    EXPECT_FALSE(app.tab->listModel()->rowWatched(app.row(ip)));

    app.onDialog<BuddiesDialog>([&] { named<QAction>(*app.main, "mnuFileBuddies")->trigger(); },
                                [](BuddiesDialog &d) {
                                    EXPECT_EQ(d.windowTitle(), QStringLiteral("Buddies"));
                                    QLineEdit *text = named<QLineEdit>(d, "txtBuddy");
                                    QTest::keyClicks(text, QStringLiteral("Sniper"));
                                    QTest::keyClick(text, Qt::Key_Return);
                                    QTest::keyClicks(text, QStringLiteral("ro?k*"));
                                    named<QPushButton>(d, "cmdAdd")->click();
                                    QTest::keyClicks(text, QStringLiteral("sniper"));
                                    QTest::keyClick(text, Qt::Key_Return); // already there
                                    EXPECT_TRUE(
                                        d.isVisible()); // Return added, it did not close the dialog
                                    QListWidget *list = named<QListWidget>(d, "lstBuddies");
                                    EXPECT_EQ(list->count(), 2);
                                    list->setCurrentRow(0);
                                    named<QPushButton>(d, "cmdRemove")->click();
                                    named<QPushButton>(d, "cmdClose")->click();
                                });
    EXPECT_EQ(app.watches().buddies(), QStringList{QStringLiteral("ro?k*")});
    EXPECT_TRUE(app.prompter.shown().empty());
}

TEST(WatchProgram, ANotificationOnTheSessionBusJoinsTheServerWithItsPassword) {
    SessionBus bus;
    ASSERT_FALSE(bus.address.isEmpty());
    NotificationStandIn standIn(bus.connect(QStringLiteral("stand-in")));
    App app;
    app.dir.installRunner(QStringLiteral("launch.log"));
    app.main->notifier()->setConnection(bus.connect(QStringLiteral("program")));
    const QString ip = QStringLiteral("127.31.2.1");
    app.add(ip, QStringLiteral("se cret"));
    app.watches().setWatch({.address = ip, .playersReach = true, .players = 2});
    app.main->tabs()->setCurrentIndex(frmMain::TabStats);
    {
        const SimProcess one(scenario("127.31.2.1", 1));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return app.root->GRServers()->Item(ip)->PlayerCount() == 1; }, 3000));
    }
    // A server's name is never taken for markup.
    const SimProcess three(scenario("127.31.2.1", 3, "Night <i>Ops</i> & Co"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !standIn.shown.isEmpty(); }, 5000));
    const NotificationStandIn::Shown &shown = standIn.shown.first();
    EXPECT_EQ(shown.appName, QStringLiteral("GRQuorvel"));
    EXPECT_EQ(shown.summary, QStringLiteral("GRQuorvel"));
    EXPECT_EQ(shown.body,
              QStringLiteral("Night &lt;i&gt;Ops&lt;/i&gt; &amp; Co (127.31.2.1)\n3/8 players"));
    EXPECT_EQ(shown.actions, (QStringList{QStringLiteral("join"), QStringLiteral("Join")}));
    // The program's icon and its desktop entry, by the names they are installed under.
    EXPECT_EQ(shown.appIcon, applicationId());
    EXPECT_EQ(shown.hints.value(QStringLiteral("desktop-entry")).toString(), applicationId());

    QSignalSpy joins(app.main->notifier(), &DesktopNotifier::joinRequested);
    standIn.invoke(12345, QStringLiteral("join")); // someone else's notification
    standIn.invoke(41, QStringLiteral("join"));
    EXPECT_EQ(
        app.dir.waitForLines(QStringLiteral("launch.log")),
        (QStringList{app.dir.path(QStringLiteral("GhostRecon.exe")), QStringLiteral("-client"), ip,
                     QStringLiteral("-password"), QStringLiteral("se cret")}));
    // One sender's signals come in order: the other notification's came first, and joined
    // nothing.
    EXPECT_EQ(joins.size(), 1);
    EXPECT_EQ(standIn.shown.size(), 1);
    EXPECT_TRUE(app.prompter.shown().empty());
}

TEST(WatchProgram, ANotificationCarriesTheProgramsPictureWhereItsIconIsNotInstalled) {
    SessionBus bus;
    ASSERT_FALSE(bus.address.isEmpty());
    NotificationStandIn standIn(bus.connect(QStringLiteral("stand-in")));
    DesktopNotifier notifier;
    notifier.setConnection(bus.connect(QStringLiteral("program")));
    for (const bool installed : {false, true}) {
        SCOPED_TRACE(installed);
        standIn.shown.clear();
        notifier.setProgram(applicationId(), programIcon(), installed);
        notifier.notify(QStringLiteral("127.31.2.9"), QStringLiteral("3/8 players"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !standIn.shown.isEmpty(); }, 5000));
        const QVariantMap &hints = standIn.shown.first().hints;
        EXPECT_EQ(standIn.shown.first().appIcon, applicationId());
        EXPECT_EQ(hints.value(QStringLiteral("image-data")).isValid(), !installed);
        if (installed)
            continue;
        // Read back as the protocol lays it out, it is the program's icon, pixel for pixel.
        const auto data = hints.value(QStringLiteral("image-data")).value<QDBusArgument>();
        int width = 0, height = 0, stride = 0, bits = 0, channels = 0;
        bool alpha = false;
        QByteArray bytes;
        data.beginStructure();
        data >> width >> height >> stride >> alpha >> bits >> channels >> bytes;
        data.endStructure();
        EXPECT_EQ(QSize(width, height), QSize(48, 48));
        EXPECT_TRUE(alpha);
        EXPECT_EQ(bits, 8);
        EXPECT_EQ(channels, 4);
        ASSERT_EQ(bytes.size(), qsizetype(stride) * height);
        const QImage sent(reinterpret_cast<const uchar *>(bytes.constData()), width, height, stride,
                          QImage::Format_RGBA8888);
        EXPECT_EQ(sent,
                  programIcon().pixmap(48, 48).toImage().convertToFormat(QImage::Format_RGBA8888));
    }
}

TEST(WatchProgram, WithoutANotificationServiceTheEventWaitsInTheToolTipOrTheTrayTellsIt) {
    SessionBus bus;
    ASSERT_FALSE(bus.address.isEmpty());
    const struct {
        const char *what;
        QDBusConnection connection;
        bool tray;
    } cases[] = {
        {"a bus without the service", bus.connect(QStringLiteral("program")), false},
        {"no bus at all",
         QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent"),
                                       QStringLiteral("nowhere")),
         false},
        {"a bus without the service, and a tray", bus.connect(QStringLiteral("program2")), true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const TrayOverride tray(c.tray);
        App app;
        app.main->notifier()->setConnection(c.connection);
        QSignalSpy fellBack(app.main->notifier(), &DesktopNotifier::fellBack);
        const QString ip = QStringLiteral("127.31.3.1");
        app.add(ip);
        app.watches().addBuddy(QStringLiteral("p?"));
        EXPECT_EQ(app.main->tray()->isShown(), c.tray);
        const SimProcess sim(scenario("127.31.3.1", 2));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !fellBack.isEmpty(); }, 3000));
        EXPECT_EQ(fellBack.first().value(0).toString(), ip);
        EXPECT_TRUE(app.prompter.shown().empty());
        if (!c.tray) {
            // Silent at start, then answering with them: found there, not arriving.
            EXPECT_TRUE(app.toolTip(ip).contains(QStringLiteral(": P1 is playing, P2 is playing")))
                << app.toolTip(ip).toStdString();
            continue;
        }
        // The program's own tray icon tells, and no second one appears; its message, clicked,
        // joins the server it told of.
        EXPECT_TRUE(fellBack.first().value(1).toBool());
        const QList<QSystemTrayIcon *> icons = app.main->findChildren<QSystemTrayIcon *>();
        ASSERT_EQ(icons.size(), 1);
        EXPECT_EQ(icons.first(), app.main->tray()->icon());
        QSignalSpy joins(app.main->notifier(), &DesktopNotifier::joinRequested);
        emit icons.first()->messageClicked();
        ASSERT_EQ(joins.size(), 1);
        EXPECT_EQ(joins.first().value(0).toString(), ip);
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("nowhere"));
}

namespace {
// Servers that only count the queries they get.
struct CountingServers {
    explicit CountingServers(const QStringList &addresses) {
        for (const QString &address : addresses) {
            auto socket = std::make_unique<QUdpSocket>();
            EXPECT_TRUE(socket->bind(QHostAddress(address), grquery::port))
                << address.toStdString();
            QUdpSocket *s = socket.get();
            QObject::connect(s, &QUdpSocket::readyRead, [this, s, address] {
                while (s->hasPendingDatagrams()) {
                    s->receiveDatagram();
                    ++counts[address];
                }
            });
            sockets.push_back(std::move(socket));
        }
    }
    int total() const { return std::accumulate(counts.begin(), counts.end(), 0); }
    std::vector<std::unique_ptr<QUdpSocket>> sockets;
    QHash<QString, int> counts;
};
} // namespace

TEST(WatchProgram, WhileTheListIsNotSeenOnlyWatchedServersAreAskedAndComingBackAsksAll) {
    App app;
    const QStringList ips = {QStringLiteral("127.31.5.1"), QStringLiteral("127.31.5.2"),
                             QStringLiteral("127.31.5.3")};
    CountingServers servers(ips);
    for (const QString &ip : ips)
        app.add(ip);
    app.main->tabs()->setCurrentIndex(frmMain::TabServers);
    const auto everyServerAsked = [&] {
        return QTest::qWaitFor(
            [&] {
                return std::all_of(ips.begin(), ips.end(), [&](const QString &ip) {
                    return servers.counts.value(ip) >= 2;
                });
            },
            10000);
    };
    // Lets what is on its way arrive, then counts afresh.
    const auto settle = [&] {
        QTest::qWait(app.root->timing().queryWindowMs);
        servers.counts.clear();
    };
    // In front, every server is asked again and again.
    ASSERT_TRUE(everyServerAsked());

    // Minimized without watches or buddies: not one datagram over four re-query turns (each
    // turn would have asked every server).
    app.main->showMinimized();
    EXPECT_FALSE(app.main->isSeen());
    settle();
    // The list itself rests meanwhile, so nothing wakes the program for it.
    EXPECT_FALSE(named<QTimer>(*app.tab, "tmrListStatusRefresh")->isActive());
    const Timing &timing = app.root->timing();
    QTest::qWait(4 * timing.requeryEveryTicks * timing.listTickMs);
    EXPECT_EQ(servers.total(), 0);

    // Coming back asks everything at once, before the count comes round.
    app.main->showNormal();
    EXPECT_TRUE(app.main->isSeen());
    ASSERT_TRUE(QTest::qWaitFor([&] { return servers.counts.size() == ips.size(); }, 3000));

    // With a watch, that server alone: behind another tab, minimized, hidden altogether.
    app.watches().setWatch({.address = ips[0], .answersAgain = true});
    const std::pair<const char *, std::function<void()>> unseen[] = {
        {"another tab", [&] { app.main->tabs()->setCurrentIndex(frmMain::TabStats); }},
        {"minimized", [&] { app.main->showMinimized(); }},
        {"hidden", [&] { app.main->hide(); }},
    };
    for (const auto &[how, hide] : unseen) {
        SCOPED_TRACE(how);
        hide();
        settle();
        ASSERT_TRUE(QTest::qWaitFor([&] { return servers.counts.value(ips[0]) >= 3; }, 20000));
        EXPECT_EQ(servers.total(), servers.counts.value(ips[0]));
    }
    // With buddies, every server is asked: hidden, and shown behind another tab.
    app.watches().addBuddy(QStringLiteral("Nobody"));
    servers.counts.clear();
    EXPECT_TRUE(everyServerAsked());
    app.main->showNormal();
    app.main->tabs()->setCurrentIndex(frmMain::TabStats);
    settle();
    EXPECT_TRUE(everyServerAsked());
    EXPECT_TRUE(app.prompter.shown().empty());
}

namespace {
const Timing quick{.queryWindowMs = 200, .listTickMs = 20, .requeryEveryTicks = 5};

clsGRServer *addTo(frmMain &main, const QString &ip) {
    clsGRQuorvel &root = *main.rootObject();
    const auto slot = root.GRServerControls()->fnNextTimerAndWinsock();
    clsGRServer *record = root.GRServers()->AddServer(ip, {}, {}, slot.value_or(-1));
    main.serversPane()->RefreshList();
    return record;
}

// Sets "Keep watching in the tray" through the Options dialog; false when the box was disabled.
bool chooseKeepInTray(frmMain &main, bool on) {
    bool enabled = false;
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(QTest::qWaitFor([] { return !visibleWindows<QDialog>().isEmpty(); }, 3000));
        QDialog &dialog = *visibleWindows<QDialog>().first();
        QCheckBox *box = named<QCheckBox>(dialog, "chkKeepInTray");
        EXPECT_EQ(box->text(),
                  QStringLiteral("Keep watching in the tray when the window is closed"));
        enabled = box->isEnabled();
        if (!enabled)
            EXPECT_EQ(box->toolTip(),
                      QStringLiteral("This desktop has no system tray to keep GRQuorvel in"));
        else if (box->isChecked() != on)
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
        named<QPushButton>(dialog, "cmdOK")->click();
    });
    named<QAction>(main, "mnuFileOptions")->trigger();
    return enabled;
}

} // namespace

TEST(WatchProgram, ClosedWithTheTrayChoiceTheProgramWatchesOnUntilQuitFromTheTray) {
    SessionBus bus;
    ASSERT_FALSE(bus.address.isEmpty());
    NotificationStandIn standIn(bus.connect(QStringLiteral("stand-in")));
    const TrayOverride tray(true);
    GameDir dir({.optionsXml = false});
    ScriptedPrompter prompter;
    const QString ip = QStringLiteral("127.31.6.1");
    const QString roger = QStringLiteral("/opt/rw/Roger.exe");
    const int status = runProgramOn(
        dir, prompter,
        [&](frmMain &main) {
            main.notifier()->setConnection(bus.connect(QStringLiteral("program")));
            clsGRQuorvel &root = *main.rootObject();
            addTo(main, ip);
            EXPECT_FALSE(main.tray()->isShown()); // nothing watched yet
            ASSERT_TRUE(chooseKeepInTray(main, true));
            EXPECT_FALSE(main.keepsWatchingWhenClosed());
            root.Watches()->setWatch({.address = ip, .playersReach = true, .players = 2});
            EXPECT_TRUE(main.tray()->isShown());
            EXPECT_EQ(menuTexts(main.tray()->menu()),
                      (QStringList{ip, QString(), QStringLiteral("Show GRQuorvel"),
                                   QStringLiteral("Quit")}));

            main.close();
            EXPECT_FALSE(main.isVisible());
            EXPECT_EQ(shutdownPassCount(), 0);
            {
                const SimProcess one(scenario("127.31.6.1", 1));
                ASSERT_TRUE(QTest::qWaitFor(
                    [&] { return root.GRServers()->Item(ip)->PlayerCount() == 1; }, 5000));
            }
            EXPECT_TRUE(
                main.tray()->toolTip().contains(QStringLiteral("Night Ops (127.31.6.1): 1/8 (P1)")))
                << main.tray()->toolTip().toStdString();
            const SimProcess three(scenario("127.31.6.1", 3));
            ASSERT_TRUE(QTest::qWaitFor([&] { return !standIn.shown.isEmpty(); }, 5000));
            EXPECT_TRUE(standIn.shown.first().body.contains(QStringLiteral("3/8 players")));

            // "Show GRQuorvel" brings the window back; closed again, it goes back to the tray.
            main.tray()->menu()->actions().at(2)->trigger();
            EXPECT_TRUE(main.isSeen());
            main.close();
            EXPECT_FALSE(main.isVisible());
            root.Options()->setRogerWilcoEXE(roger);
            named<QAction>(*main.tray()->menu(), "mnuTrayQuit")->trigger();
            EXPECT_EQ(shutdownPassCount(), 1);
        },
        {.timing = quick});
    EXPECT_EQ(status, 0);
    EXPECT_EQ(gobjRoot, nullptr);
    EXPECT_TRUE(dir.read(QStringLiteral("GRQuorvelOptions.xml")).contains(roger.toUtf8()));
    // The choice is kept beside the preferences, not in them.
    EXPECT_FALSE(dir.read(QStringLiteral("GRQuorvelOptions.xml")).contains("Tray"));
    EXPECT_TRUE(
        dir.read(QStringLiteral("GRQuorvelState.ini")).contains("KeepWatchingWhenClosed=true"));
    EXPECT_TRUE(prompter.shown().empty());
}

TEST(WatchProgram, ClosingEndsTheProgramWithoutTheTrayChoiceOrATrayOrAWatch) {
    const struct {
        const char *what;
        bool trayAvailable, choose, watch;
    } cases[] = {
        {"choice off", true, false, true},
        {"no tray on this desktop", false, true, true},
        {"nothing watched", true, true, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const TrayOverride tray(c.trayAvailable);
        GameDir dir({.optionsXml = false});
        ScriptedPrompter prompter;
        const QString roger = QStringLiteral("/opt/rw/Roger.exe");
        bool stillThere = true;
        runProgramOn(dir, prompter,
                     [&](frmMain &main) {
                         clsGRQuorvel &root = *main.rootObject();
                         const QString ip = QStringLiteral("127.31.6.2");
                         addTo(main, ip);
                         EXPECT_EQ(chooseKeepInTray(main, c.choose), c.trayAvailable);
                         if (c.watch)
                             root.Watches()->setWatch({.address = ip, .answersAgain = true});
                         EXPECT_EQ(main.tray()->isShown(), c.watch && c.trayAvailable);
                         root.Options()->setRogerWilcoEXE(roger);
                         main.close();
                         EXPECT_EQ(shutdownPassCount(), 1);
                         QCoreApplication::processEvents();
                         stillThere = gobjRoot != nullptr;
                     },
                     {.timing = quick});
        EXPECT_FALSE(stillThere);
        EXPECT_TRUE(dir.read(QStringLiteral("GRQuorvelOptions.xml")).contains(roger.toUtf8()));
        EXPECT_TRUE(prompter.shown().empty());
    }
}

TEST(WatchProgram, AFreedSlotJoinsOnceButNotWhileTheGameRunsNorAfterALaunchByHand) {
    App app;
    // The game's runner notes each start, then plays until told to stop.
    const QString log = app.dir.path(QStringLiteral("launch.log"));
    const QString stop = app.dir.path(QStringLiteral("stop"));
    app.dir.write(QStringLiteral("runner.sh"),
                  QStringLiteral("#!/bin/sh\necho \"$*\" >> '%1'\nwhile [ ! -e '%2' ]; do sleep "
                                 "0.05; done\necho ended >> '%2'\n")
                      .arg(log, stop)
                      .toUtf8());
    QFile::setPermissions(app.dir.path(QStringLiteral("runner.sh")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("GRQUORVEL_WINE", app.dir.path(QStringLiteral("runner.sh")).toUtf8());
    const auto starts = [&] {
        QFile file(log);
        return file.open(QIODevice::ReadOnly)
                   ? QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)
                   : QStringList();
    };
    const QString ip = QStringLiteral("127.31.7.1");
    app.add(ip, QStringLiteral("se cret"));
    app.clickRow(ip);
    // The automatic join goes only together with being told of the free slot.
    app.onDialog<WatchDialog>(
        [&] { named<QAction>(*app.tab, "mnuWatch")->trigger(); },
        [](WatchDialog &d) {
            QCheckBox *join = named<QCheckBox>(d, "chkWatchJoin");
            EXPECT_EQ(join->text(), QStringLiteral("Join automatically when a slot frees up"));
            EXPECT_FALSE(join->isEnabled());
            named<QCheckBox>(d, "chkWatchSlot")->click();
            EXPECT_TRUE(join->isEnabled());
            join->click();
            named<QPushButton>(d, "cmdOK")->click();
        });
    ASSERT_TRUE(app.watches().watchOf(ip).value_or(ServerWatch{}).joinWhenFree);
    app.main->tabs()->setCurrentIndex(frmMain::TabStats);
    const auto fullThenFree = [&] {
        {
            const SimProcess full(scenario("127.31.7.1", 8));
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { return app.root->GRServers()->Item(ip)->PlayerCount() == 8; }, 5000));
        }
        const SimProcess free(scenario("127.31.7.1", 7));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return app.root->GRServers()->Item(ip)->PlayerCount() == 7; }, 5000));
    };

    fullThenFree();
    const QString game = app.dir.path(QStringLiteral("GhostRecon.exe"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return starts().size() == 1; }, 5000));
    EXPECT_EQ(starts().first(),
              game + QStringLiteral(" -client ") + ip + QStringLiteral(" -password se cret"));
    EXPECT_TRUE(
        app.toolTip(ip).contains(QStringLiteral("a slot is free (7/8 players); joining it")))
        << app.toolTip(ip).toStdString();
    EXPECT_FALSE(app.watches().watchOf(ip)->joinWhenFree); // once
    EXPECT_TRUE(app.watches().watchOf(ip)->slotFrees);

    // Asked again while the game it started still runs: no second game.
    ServerWatch again = *app.watches().watchOf(ip);
    again.joinWhenFree = true;
    app.watches().setWatch(again);
    fullThenFree();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return app.toolTip(ip).contains(QStringLiteral("not joined: ")); }, 5000));
    EXPECT_EQ(starts().size(), 1);
    EXPECT_TRUE(app.watches().watchOf(ip)->joinWhenFree); // waits for the next free slot

    // A Launch by the player turns it off.
    app.tab->launchServer(ip);
    ASSERT_TRUE(QTest::qWaitFor([&] { return starts().size() == 2; }, 5000));
    EXPECT_FALSE(app.watches().watchOf(ip)->joinWhenFree);
    {
        QFile ending(stop);
        ASSERT_TRUE(ending.open(QIODevice::WriteOnly));
    }
    // Both games end before their directory goes.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            QFile ended(stop);
            return ended.open(QIODevice::ReadOnly) && ended.readAll().count("ended") == 2;
        },
        5000));
    qunsetenv("GRQUORVEL_WINE");
    EXPECT_TRUE(app.prompter.shown().empty());
}

#include "test_watch_program.moc"
