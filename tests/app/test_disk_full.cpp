#include "app/basGlobals.h"
#include "app/clsGRQuorvel.h"
#include "app/frmMain.h"
#include "history/HistoryStore.h"
#include "options/clsOptions.h"
#include "servers/clsGRServers.h"
#include "support/GameDir.h"
#include "support/ProgramRun.h"
#include "support/ScriptedPrompter.h"
#include "support/Widgets.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

// The disk fills up while the program writes one of its files. The program runs as a child
// whose files may grow to a few kilobytes only (the system refuses the rest, as a full disk
// does); each case is one of the files the program writes.

namespace {

const char caseVariable[] = "QUORVEL_DISK_FULL_CASE";
const char dirVariable[] = "QUORVEL_DISK_FULL_DIR";
const QString prefsName = QStringLiteral("GRQuorvelOptions.xml");

QByteArray padded(QByteArray text, qsizetype size) {
    return text + "<!--" + QByteArray(size, '.') + "-->\n";
}

QStringList allFiles(const QString &root) {
    QStringList found;
    QDir dir(root);
    for (const QString &sub : {QString(), QStringLiteral("Stats")})
        for (const QString &name : QDir(dir.filePath(sub)).entryList(QDir::Files | QDir::Hidden))
            found << (sub.isEmpty() ? name : sub + u'/' + name);
    return found;
}

// Runs the child on `dir` for `which`; its files may not grow beyond `limit` bytes.
int runChild(const QString &which, const GameDir &dir, rlim_t limit) {
    QProcess child;
    child.setChildProcessModifier([limit] {
        const rlimit fsize{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &fsize);
        // A write beyond the limit then fails as on a full disk instead of ending the process.
        ::signal(SIGXFSZ, SIG_IGN);
    });
    startTestChild(child, QStringLiteral("DiskFull.DISABLED_Child"),
                   {{caseVariable, which}, {dirVariable, dir.root()}});
    if (!child.waitForFinished(120000))
        child.kill();
    return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
}

} // namespace

// Not run on its own: the program of the tests below, on a disk that is full.
TEST(DiskFull, DISABLED_Child) {
    const QString which = qEnvironmentVariable(caseVariable);
    const StartupEnvironment env = startupOn(qEnvironmentVariable(dirVariable));
    const QString prefs = QDir::toNativeSeparators(env.gameDirectory + prefsName);
    ScriptedPrompter prompter;
    std::function<void(frmMain &)> act;
    if (which == prefsName) {
        // The write soon after the change, then the one at the end: each asks, Cancel gives up.
        prompter.expect(titles::error, Answer::Cancel, prefs)
            .expect(titles::error, Answer::Cancel, prefs);
        act = [&](frmMain &main) {
            gobjRoot->Options()->setUserName(QString(20000, u'x'));
            ASSERT_TRUE(QTest::qWaitFor([&] { return prompter.shown().size() == 1; }, 10000));
            quitWith(main);
        };
    } else if (which == u"options.xml") {
        prompter.expect(titles::error, Answer::Cancel, QStringLiteral("options.xml"));
        act = [&](frmMain &main) {
            named<QTabWidget>(main, "SSTab1")->setCurrentIndex(frmMain::TabGameOptions);
            auto *box = named<QCheckBox>(main, "chkShowFrameRate");
            const bool before = box->isChecked();
            box->click();
            EXPECT_EQ(prompter.shown().size(), 1u);
            // The switch shows what the file still says.
            EXPECT_EQ(box->isChecked(), before);
        };
    } else if (which == u"stats") {
        act = [&](frmMain &main) {
            gobjRoot->Options()->setRecordStats(true);
            // Ticks go by; each tries the copy again and fails again.
            QSignalSpy ticks(main.statsTimer(), &QTimer::timeout);
            EXPECT_TRUE(QTest::qWaitFor([&] { return ticks.size() >= 5; }, 10000));
            // Said on the stats pane, without a box.
            named<QTabWidget>(main, "SSTab1")->setCurrentIndex(frmMain::TabStats);
            auto *note = named<QLabel>(main, "lblRecordFailure");
            EXPECT_TRUE(note->isVisible());
            EXPECT_TRUE(note->text().startsWith(u"The last mission could not be recorded ("))
                << note->text().toStdString();
        };
    } else if (which == u"history") {
        act = [&](frmMain &main) {
            // The servers are asked again and again while their list is in front.
            named<QTabWidget>(main, "SSTab1")->setCurrentIndex(frmMain::TabServers);
            HistoryStore *history = gobjRoot->History();
            ASSERT_TRUE(QTest::qWaitFor([&] { return !history->isOn(); }, 60000))
                << "the history never filled the disk";
            EXPECT_TRUE(history->offReason().startsWith(u"History is off for this run"))
                << history->offReason().toStdString();
            // The rest goes on: the servers are still queried, a change is still saved.
            EXPECT_GT(gobjRoot->GRServers()->Count(), 0);
            gobjRoot->Options()->AddPlayerName(QStringLiteral("Still here"));
            ASSERT_TRUE(QTest::qWaitFor(
                [&] {
                    QFile file(env.gameDirectory + prefsName);
                    return file.open(QIODevice::ReadOnly) && file.readAll().contains("Still here");
                },
                10000));
            quitWith(main);
        };
    }
    ASSERT_TRUE(act) << which.toStdString();
    runProgramWith(env, prompter, act,
                   {.timing = {.queryWindowMs = 100,
                               .listTickMs = 20,
                               .requeryEveryTicks = 2,
                               .statsTickMs = 20,
                               .saveDelayMs = 20}});
    if (which == prefsName) {
        EXPECT_EQ(prompter.shown().size(), 2u);
    }
}

// The preferences' write soon after a change and at the end, the game's options as a switch
// is clicked: each file stays as it was, without a partial copy left beside it.
TEST(DiskFull, TheFileStaysWholeAndThePlayerIsAsked) {
    for (const QString &name : {prefsName, QStringLiteral("options.xml")}) {
        SCOPED_TRACE(name.toStdString());
        GameDir dir;
        if (name != prefsName) // too large for a copy to fit
            dir.write(name, padded(dir.read(name), 20000));
        const QByteArray old = dir.read(name);
        EXPECT_EQ(runChild(name, dir, 4096), 0);
        EXPECT_EQ(dir.read(name), old);
        EXPECT_FALSE(allFiles(dir.root()).join(u' ').contains(name + u'.'))
            << allFiles(dir.root()).join(u' ').toStdString();
    }
}

TEST(DiskFull, AStatsCopyIsWholeOrNotThere) {
    GameDir dir({.missionStats = true});
    const QByteArray page = padded(dir.read(QStringLiteral("missionstats.htm")), 20000);
    dir.write(QStringLiteral("missionstats.htm"), page);
    const QByteArray cache = "an older page";
    dir.write(QStringLiteral("GRQuorvelCache.dat"), cache);
    EXPECT_EQ(runChild(QStringLiteral("stats"), dir, 4096), 0);
    EXPECT_EQ(dir.read(QStringLiteral("GRQuorvelCache.dat")), cache);
    for (const QString &name : allFiles(dir.root())) {
        if (name.startsWith(u"Stats/")) {
            EXPECT_EQ(dir.read(name), page) << name.toStdString();
        }
    }
}

TEST(DiskFull, TheHistoryTurnsOffAndWhatItHoldsStaysSound) {
    GameDir dir;
    EXPECT_EQ(runChild(QStringLiteral("history"), dir, 112 * 1024), 0);
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("diskfull"));
        db.setDatabaseName(dir.path(HistoryStore::fileName()));
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA integrity_check")) && q.next());
        EXPECT_EQ(q.value(0).toString(), QStringLiteral("ok"));
        ASSERT_TRUE(q.exec(QStringLiteral("SELECT count(*) FROM hourly")) && q.next());
        EXPECT_GT(q.value(0).toInt(), 0) << "nothing was written before the disk was full";
    }
    QSqlDatabase::removeDatabase(QStringLiteral("diskfull"));
}
