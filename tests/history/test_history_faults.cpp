#include "history/HistoryStore.h"
#include "support/GameDir.h"
#include "support/Scoped.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

// The history file going away, turning unwritable, or its writer killed while the program runs.

namespace {

// One round of answers at `time`, written before it returns.
void writeRound(HistoryStore &store, qint64 time) {
    for (int i = 0; i < 20; ++i) {
        HistoryObservation o;
        o.address = QStringLiteral("127.70.0.%1").arg(i + 1);
        o.time = time;
        o.answered = true;
        o.players = static_cast<int>(time % 5);
        o.maxPlayers = 8;
        store.record(o);
    }
    store.waitForWrites();
}

// The rounds a history file holds, or -1 when it is not a sound database.
int roundsIn(const QString &path) {
    int rounds = -1;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("faultcheck"));
        db.setDatabaseName(path);
        QSqlQuery q(db);
        if (db.open() && q.exec(QStringLiteral("PRAGMA integrity_check")) && q.next() &&
            q.value(0).toString() == u"ok" &&
            q.exec(QStringLiteral("SELECT count(DISTINCT time) FROM changes")) && q.next())
            rounds = q.value(0).toInt();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("faultcheck"));
    return rounds;
}

} // namespace

TEST(HistoryFaults, AFileRemovedWhileRunningTurnsTheHistoryOffWithItsLine) {
    GameDir dir({.game = false, .optionsXml = false, .preferences = false});
    const QString path = dir.path(HistoryStore::fileName());
    HistoryStore store;
    ASSERT_TRUE(store.open(path));
    QSignalSpy off(&store, &HistoryStore::turnedOff);
    writeRound(store, 1'700'000'000);
    ASSERT_TRUE(store.isOn());

    // Removed by the player (or a cleaner): what would be written from now on goes nowhere.
    ASSERT_TRUE(QFile::remove(path));
    writeRound(store, 1'700'000'001);
    EXPECT_FALSE(store.isOn());
    ASSERT_EQ(off.size(), 1);
    EXPECT_EQ(off.at(0).at(0).toString(), store.offReason());
    EXPECT_TRUE(store.offReason().startsWith(u"History is off for this run: cannot write "))
        << store.offReason().toStdString();
    EXPECT_TRUE(store.offReason().contains(u"removed"));
    // Off for the run: no new file is made behind the player's back.
    writeRound(store, 1'700'000'002);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(off.size(), 1);
}

TEST(HistoryFaults, AFileMadeUnwritableWhileRunningIsStillKeptWhole) {
    GameDir dir({.game = false, .optionsXml = false, .preferences = false});
    const QString path = dir.path(HistoryStore::fileName());
    {
        HistoryStore store;
        ASSERT_TRUE(store.open(path));
        writeRound(store, 1'700'000'000);
        // The file was opened for writing before: it is written on, into the same file.
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        dir.whileReadOnly([&] {
            writeRound(store, 1'700'000'001);
            writeRound(store, 1'700'000'002);
        });
        EXPECT_TRUE(store.isOn()) << store.offReason().toStdString();
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(roundsIn(path), 3);
}

TEST(HistoryFaults, AWriterKilledAtAnyMomentLeavesASoundFile) {
    GameDir dir({.game = false, .optionsXml = false, .preferences = false});
    const QString path = dir.path(HistoryStore::fileName());
    int confirmed = 0; // rounds the writer said it had written
    SeededRandom random;
    for (int kill = 0; kill < 12; ++kill) {
        QProcess writer;
        writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer.start(QStringLiteral(QUORVEL_BINARY_DIR "/tests/history_writer"), {path});
        ASSERT_TRUE(writer.waitForStarted());
        // Wait for a few rounds, then kill it somewhere inside the next ones.
        const int rounds = 1 + random.bounded(4);
        int seen = 0;
        while (seen < rounds && writer.waitForReadyRead(5000))
            while (writer.canReadLine())
                seen += writer.readLine().startsWith("round ") ? 1 : 0;
        ASSERT_GE(seen, rounds) << "the writer did not write";
        QTest::qWait(random.bounded(25)); // somewhere inside one of the next rounds
        ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
        writer.waitForFinished(5000);
        while (writer.canReadLine())
            seen += writer.readLine().startsWith("round ") ? 1 : 0;
        confirmed += seen;

        // Sound, and every round confirmed is there (each round is one second of its own).
        EXPECT_GE(roundsIn(path), confirmed) << "after kill " << kill;
        HistoryStore reopened;
        EXPECT_TRUE(reopened.open(path)) << reopened.offReason().toStdString();
    }
}
