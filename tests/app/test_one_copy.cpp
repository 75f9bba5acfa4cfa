#include "app/InstanceLock.h"
#include "app/basGlobals.h"
#include "app/clsGRQuorvel.h"
#include "app/frmMain.h"
#include "options/clsOptions.h"
#include "servers/clsGRServers.h"
#include "servers_tab/ServerListModel.h"
#include "servers_tab/ctlGRServers.h"
#include "support/GameDir.h"
#include "support/ProgramRun.h"
#include "support/RealInput.h"
#include "support/ScriptedPrompter.h"
#include "support/Widgets.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSysInfo>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>

namespace {

const QString prefsName = QStringLiteral("GRQuorvelOptions.xml");
const char childDirVariable[] = "QUORVEL_CHILD_GAME_DIR";

QStringList entries(const GameDir &dir) {
    return QDir(dir.root()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

// Not run on its own: the program of the test below, which adds a server through its window
// and then runs until it is killed.
TEST(OneCopy, DISABLED_AddsAServerThroughTheWindow) {
    ScriptedPrompter prompter;
    runProgramWith(startupOn(qEnvironmentVariable(childDirVariable)), prompter, [](frmMain &main) {
        named<QTabWidget>(main, "SSTab1")->setCurrentIndex(frmMain::TabServers);
        auto *ip = named<QLineEdit>(*main.serversPane(), "txtAddIP");
        auto *add = named<QPushButton>(*main.serversPane(), "cmdAddServer");
        ASSERT_TRUE(QTest::qWaitFor([&] { return add->isVisible() && ip->isVisible(); }));
        ip->setFocus();
        QTest::keyClicks(ip, QStringLiteral("127.20.40.7"));
        realInput::click(add, add->rect().center());
        ASSERT_NE(gobjRoot->GRServers()->Item(QStringLiteral("127.20.40.7")), nullptr);
        std::printf("added\n");
        std::fflush(stdout);
        QEventLoop().exec(); // until killed
    });
}

TEST(OneCopy, AServerAddedThroughTheWindowOutlivesAKillThreeSecondsLater) {
    GameDir dir;
    QProcess child;
    startTestChild(child, QStringLiteral("OneCopy.DISABLED_AddsAServerThroughTheWindow"),
                   {{childDirVariable, dir.root()}}, QProcess::ForwardedErrorChannel);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return child.readAllStandardOutput().contains("added") ||
                   child.state() == QProcess::NotRunning;
        },
        60000));
    ASSERT_EQ(child.state(), QProcess::Running) << "the program ended by itself";
    // No shutdown, no signal it could catch: three seconds after the change, as a crash would.
    QTest::qWait(3000);
    ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
    ASSERT_TRUE(child.waitForFinished(10000));
    EXPECT_TRUE(dir.read(prefsName).contains(R"(IP="127.20.40.7")"));

    // The lock the killed copy left behind does not keep the next start away.
    EXPECT_TRUE(QFileInfo::exists(dir.path(InstanceLock::fileName())));
    ScriptedPrompter prompter;
    int row = -1;
    EXPECT_EQ(runProgramOn(dir, prompter,
                           [&](frmMain &main) {
                               row = main.serversPane()->listModel()->rowOfKey(
                                   QStringLiteral("127.20.40.7"));
                           }),
              0);
    EXPECT_GE(row, 0);
}

TEST(OneCopy, ASecondCopyShowsTheFirstAndEndsWithoutWritingAnything) {
    GameDir dir;
    ScriptedPrompter prompter;
    runProgramOn(
        dir, prompter,
        [&](frmMain &main) {
            gobjRoot->Options()->setUserName(QStringLiteral("first copy"));
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { return dir.read(prefsName).contains("<UserName>first copy<"); }, 5000));
            const QByteArray mine = dir.read(prefsName);
            const QDateTime written = QFileInfo(dir.path(prefsName)).lastModified();
            const QStringList before = entries(dir);
            main.showMinimized();
            ASSERT_TRUE(QTest::qWaitFor([&] { return main.isMinimized(); }, 5000));

            // Started on the same directory through a link to it.
            QTemporaryDir links;
            const QString link = links.filePath(QStringLiteral("game"));
            ASSERT_TRUE(QFile::link(QDir::cleanPath(dir.root()), link));
            QProcess second;
            second.start(QStringLiteral(QUORVEL_BINARY_DIR "/grquorvel"),
                         {QStringLiteral("--game-dir"), link});
            // Events keep running meanwhile: the first copy answers the second.
            ASSERT_TRUE(
                QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 30000));
            EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(second.exitCode(), 0);
            EXPECT_TRUE(second.readAllStandardError().contains("already running"));
            EXPECT_TRUE(QTest::qWaitFor([&] { return !main.isMinimized(); }, 5000));

            EXPECT_EQ(dir.read(prefsName), mine);
            EXPECT_EQ(QFileInfo(dir.path(prefsName)).lastModified(), written);
            EXPECT_EQ(entries(dir), before);

            // The commands that print and end are not kept away.
            QProcess history;
            history.start(QStringLiteral(QUORVEL_BINARY_DIR "/grquorvel"),
                          {QStringLiteral("--history"), QStringLiteral("--game-dir"), dir.root(),
                           QStringLiteral("127.0.0.1")});
            ASSERT_TRUE(
                QTest::qWaitFor([&] { return history.state() == QProcess::NotRunning; }, 30000));
            EXPECT_EQ(history.exitCode(), 0) << history.readAllStandardError().constData();
        },
        {.timing = Timing{.saveDelayMs = 20}});
    EXPECT_TRUE(dir.read(prefsName).contains("<UserName>first copy<"));
}

TEST(OneCopy, ALockFromBeforeARebootOrOfAnotherProgramDoesNotKeepTheProgramAway) {
    const QByteArray self = QByteArray::number(QCoreApplication::applicationPid());
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    const QByteArray machine = QSysInfo::machineUniqueId();
    const QByteArray boot = QSysInfo::bootUniqueId();
    const QByteArray otherBoot =
        QByteArray(boot).replace(0, 4, boot.startsWith("0000") ? "1111" : "0000");
    const QByteArray name = QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8();
    const struct {
        const char *what;
        QByteArray content;
        InstanceLock::Result expected;
    } cases[] = {
        // This very process, as a second copy sees a running one.
        {"running", self + '\n' + name + '\n' + host + '\n' + machine + '\n' + boot + '\n',
         InstanceLock::Result::HeldElsewhere},
        {"rebooted since",
         self + '\n' + name + '\n' + host + '\n' + machine + '\n' + otherBoot + '\n',
         InstanceLock::Result::Acquired},
        // The number now belongs to another program.
        {"another program", "1\ngrquorvel\n" + host + '\n' + machine + '\n' + boot + '\n',
         InstanceLock::Result::Acquired},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        GameDir dir;
        dir.write(InstanceLock::fileName(), c.content);
        // Made long ago: a copy may run for days, its lock is no less valid for that.
        QFile file(dir.path(InstanceLock::fileName()));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addDays(-3),
                                     QFileDevice::FileModificationTime));
        file.close();
        InstanceLock lock(dir.root());
        EXPECT_EQ(lock.acquire(), c.expected);
    }
}
