#include "options/PreferencesFixture.h"

#include "app/basGlobals.h"
#include "app/basMain.h"
#include "app/frmMain.h"
#include "common/QuorvelError.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include <pugixml.hpp>

#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

namespace {

const QString prefsName = QStringLiteral("GRQuorvelOptions.xml");

bool parses(const QByteArray &xml) {
    pugi::xml_document doc;
    return static_cast<bool>(doc.load_buffer(xml.constData(), static_cast<size_t>(xml.size())));
}

// Runs the whole program on `dir` with -noStartupPing, closing whatever modal window start-up
// shows, and acts on the main window once it is up.
int runProgramOn(const GameDir &dir, ScriptedPrompter &prompter,
                 const std::function<void(frmMain &)> &whileRunning) {
    StartupEnvironment env;
    env.executableDirectory = QStringLiteral("/nonexistent");
    env.gameDirectory = dir.root();
    env.commandLine = {QStringLiteral("-noStartupPing")};
    platform::DetachedProcessLauncher launcher;
    QTimer poll;
    poll.setInterval(5);
    int waited = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            modal->close();
            return;
        }
        frmMain *main = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *m = qobject_cast<frmMain *>(w); m && m->isVisible())
                main = m;
        if (!main && ++waited < 400)
            return;
        poll.stop();
        EXPECT_NE(main, nullptr) << "the main window never showed";
        if (main)
            whileRunning(*main);
        else
            QApplication::quit();
    });
    poll.start();
    return runProgram(env, prompter, launcher);
}

void quitWith(frmMain &main) {
    main.findChild<QPushButton *>(QStringLiteral("cmdQuit"))->click();
}

QByteArray savedWithUserName(const QString &name) {
    PreferencesFixture f;
    f.options().setUserName(name);
    f.options().Save(f.preferencesPath());
    return f.dir.read(prefsName);
}

const QString bigA = QString(200000, u'a');
const QString bigB = QString(200000, u'b');

} // namespace

TEST(PreferencesFaults, SaveIntoAnUnwritableDirectoryKeepsTheOldFileAndReports) {
    PreferencesFixture f;
    const QByteArray old = "<options><UserName>old</UserName></options>";
    f.writePreferences(old);
    const QString root = QDir::cleanPath(f.dir.root());
    // The owner's write permission is enough for root, who needs the immutable flag instead.
    const bool asRoot = ::geteuid() == 0;
    if (asRoot) {
        if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), root}) != 0)
            GTEST_SKIP() << "cannot make a directory unwritable here";
    } else {
        QFile::setPermissions(root, QFile::ReadOwner | QFile::ExeOwner);
    }
    const auto restore = qScopeGuard([&] {
        if (asRoot)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), root});
        else
            QFile::setPermissions(root, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });

    f.options().setUserName(QStringLiteral("new"));
    try {
        f.options().Save(f.preferencesPath());
        ADD_FAILURE() << "the failed save was not reported";
    } catch (const QuorvelError &e) {
        EXPECT_TRUE(e.description().contains(QDir::toNativeSeparators(f.preferencesPath())))
            << e.description().toStdString();
    }
    EXPECT_EQ(f.dir.read(prefsName), old);
}

// Not run on its own: the child process of the test below, saving until it is killed.
TEST(PreferencesFaults, DISABLED_SaveLoopChild) {
    const QString target = qEnvironmentVariable("QUORVEL_SAVE_LOOP_FILE");
    ASSERT_FALSE(target.isEmpty());
    PreferencesFixture f;
    for (int i = 0;; ++i) {
        f.options().setUserName(i % 2 ? bigB : bigA);
        f.options().Save(target);
    }
}

TEST(PreferencesFaults, AKillWhileSavingLeavesTheOldOrTheNewFileWhole) {
    const QByteArray a = savedWithUserName(bigA);
    const QByteArray b = savedWithUserName(bigB);
    GameDir dir({.game = false, .optionsXml = false, .preferences = false});
    const QString target = dir.path(prefsName);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUORVEL_SAVE_LOOP_FILE"), target);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    int kills = 0;
    for (int round = 0; round < 12; ++round) {
        QProcess child;
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_also_run_disabled_tests"),
                     QStringLiteral("--gtest_filter=PreferencesFaults.DISABLED_SaveLoopChild")});
        ASSERT_TRUE(child.waitForStarted());
        QElapsedTimer clock;
        clock.start();
        while (!QFileInfo::exists(target) && clock.elapsed() < 10000)
            QTest::qWait(2);
        ASSERT_TRUE(QFileInfo::exists(target)) << "the child never saved";
        QTest::qWait(static_cast<int>(QRandomGenerator::global()->bounded(1, 40)));
        if (child.state() == QProcess::Running) {
            ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
            ++kills;
        }
        child.waitForFinished();
        const QByteArray now = dir.read(prefsName);
        ASSERT_TRUE(now == a || now == b)
            << "round " << round << ": a broken file of " << now.size() << " bytes";
    }
    EXPECT_GT(kills, 0);
}

TEST(PreferencesFaults, ABrokenFileLoadsTheDefaultsAndIsReplacedWholeAtShutdown) {
    const QByteArray good = savedWithUserName(QStringLiteral("Ghost"));
    QByteArray random(4096, '\0');
    QRandomGenerator gen(4711);
    for (char &c : random)
        c = static_cast<char>(gen.bounded(256));
    for (const QByteArray &broken : {good.left(good.size() / 2), random}) {
        GameDir dir({.optionsXml = false, .preferences = false});
        dir.write(prefsName, broken);
        ScriptedPrompter prompter;
        bool recordStats = false;
        EXPECT_EQ(runProgramOn(dir, prompter,
                               [&](frmMain &main) {
                                   recordStats = gobjRoot->Options()->RecordStats();
                                   quitWith(main);
                               }),
                  0);
        EXPECT_TRUE(recordStats);
        const QByteArray after = dir.read(prefsName);
        EXPECT_TRUE(parses(after));
        EXPECT_TRUE(after.contains("<RecordStats>True</RecordStats>"));
        EXPECT_TRUE(after.contains("<Version>1.01</Version>"));
    }
}

TEST(PreferencesFaults, TheNoStartupPingSwitchStaysOffAfterANormalClose) {
    GameDir dir({.optionsXml = false, .preferences = false});
    dir.write(prefsName, "<options><ShowTips>False</ShowTips><PingOnStart>True</PingOnStart>"
                         "</options>");
    ScriptedPrompter prompter;
    EXPECT_EQ(runProgramOn(dir, prompter, quitWith), 0);
    EXPECT_TRUE(dir.read(prefsName).contains("<PingOnStart>False</PingOnStart>"));
}

TEST(PreferencesFaults, TerminationSignalsRunTheNormalShutdownWithItsSave) {
    for (const int sig : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(sig);
        GameDir dir({.optionsXml = false, .preferences = false});
        dir.write(prefsName, "<options><UserName>Before</UserName><ShowTips>False</ShowTips>"
                             "<PingOnStart>True</PingOnStart><GRServers><Server IP='127.30.3.1' "
                             "Name='Kept'/></GRServers></options>");
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(QUORVEL_BINARY_DIR "/grquorvel"),
                      {QStringLiteral("--game-dir"), dir.root(), QStringLiteral("-noStartupPing")});
        ASSERT_TRUE(program.waitForStarted());
        // The statistics directory appears once the handlers are in place.
        QElapsedTimer clock;
        clock.start();
        while (!QFileInfo::exists(dir.path(QStringLiteral("Stats"))) && clock.elapsed() < 10000)
            QTest::qWait(5);
        ASSERT_TRUE(QFileInfo::exists(dir.path(QStringLiteral("Stats"))));
        ::kill(static_cast<pid_t>(program.processId()), sig);
        ASSERT_TRUE(program.waitForFinished(10000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
        const QByteArray after = dir.read(prefsName);
        EXPECT_TRUE(after.contains("<Version>1.01</Version>")) << after.constData();
        EXPECT_TRUE(after.contains("<UserName>Before</UserName>"));
        EXPECT_TRUE(after.contains("<PingOnStart>False</PingOnStart>"));
        EXPECT_TRUE(after.contains("IP=\"127.30.3.1\" Name=\"Kept\""));
    }
}
