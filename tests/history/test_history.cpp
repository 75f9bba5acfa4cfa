#include "../bench/HistorySimulation.h"
#include "app/HistoryCommand.h"
#include "history/HistoryStore.h"
#include "servers/SimProcess.h"
#include "support/CoreApp.h"
#include "support/ProgramRun.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {
// On the hour, so hourly figures are easy to reason about.
const qint64 nowSecs = 1'800'000'000;
const QDateTime now = QDateTime::fromSecsSinceEpoch(nowSecs, Qt::UTC);
constexpr qint64 day = 24 * 3600;

HistoryObservation seen(const QString &address, qint64 time, QStringList names = {},
                        const QString &map = QStringLiteral("Castle")) {
    HistoryObservation o;
    o.address = address;
    o.time = time;
    o.answered = true;
    o.players = static_cast<int>(names.size());
    o.maxPlayers = 8;
    o.map = map;
    o.state = QStringLiteral("Playing");
    o.names = std::move(names);
    return o;
}

HistoryObservation silent(const QString &address, qint64 time) {
    HistoryObservation o;
    o.address = address;
    o.time = time;
    return o;
}

struct Outcome {
    int status;
    QString out, err;
};

Outcome history(const QStringList &args, const QDateTime &at = now) {
    QString inText, outText, errText;
    QTextStream in(&inText), out(&outText), err(&errText);
    StartupEnvironment program; // no game beside it, and nowhere to search for one
    program.executableDirectory = QStringLiteral("/nonexistent");
    const int status = runHistoryCommand(args, program, in, out, err, at);
    return {status, outText, errText};
}

QJsonArray historyJson(const GameDir &dir, const QStringList &addresses,
                       const QDateTime &at = now) {
    const Outcome o = history(
        QStringList{QStringLiteral("--json"), QStringLiteral("--game-dir"), dir.root()} + addresses,
        at);
    EXPECT_EQ(o.status, 0) << o.err.toStdString();
    return QJsonDocument::fromJson(o.out.toUtf8()).array();
}

// One value of a query on the store's own connection.
QVariant scalar(const HistoryStore &store, const QString &sql) {
    QSqlQuery q(QSqlDatabase::database(store.connectionName()));
    return q.exec(sql) && q.next() ? q.value(0) : QVariant();
}

qint64 sizeOnDisk(const QString &path) {
    return QFileInfo(path).size() + QFileInfo(path + QStringLiteral("-wal")).size();
}

QString sampleText(const QJsonValue &sample) {
    const QJsonObject s = sample.toObject();
    return QStringLiteral("%1 %2 %3/%4 %5")
        .arg(s[u"time"].toString(),
             s[u"answered"].toBool() ? QStringLiteral("up") : QStringLiteral("down"))
        .arg(s[u"players"].toInt())
        .arg(s[u"maxPlayers"].toInt())
        .arg(s[u"map"].toString());
}
} // namespace

TEST(History, RealAnswersAndSilencesReadBackThroughTheCommand) {
    const SimProcess sim(R"({"servers": [
        {"address": "127.10.13.1", "state": {"name": "Alpha", "map": "Castle", "mission": "M1",
         "gameType": "Siege", "players": ["Host", "Rook", "Ann"], "dedicated": true,
         "maxPlayers": 8, "gameState": "Playing"}},
        {"address": "127.10.13.2", "behaviour": "silent"}]})");
    ASSERT_TRUE(sim.isReady());
    CoreApp app(CoreApp::noFiles, {.queryWindowMs = 300});
    HistoryStore store;
    ASSERT_TRUE(store.open(app.root->HistoryFileName())) << store.offReason().toStdString();
    store.attach(&app.pool(), [&](const QString &a) { return app.servers().Item(a); });
    app.add(QStringLiteral("127.10.13.1"));
    app.add(QStringLiteral("127.10.13.2"));
    for (int round = 0; round < 3; ++round) {
        app.servers().RefreshAllServerData();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !app.servers().AnyWaiting(); }, 5000));
    }
    store.waitForWrites();
    EXPECT_TRUE(store.isOn());
    EXPECT_EQ(scalar(store, QStringLiteral("SELECT sum(queries) FROM hourly")).toInt(), 6)
        << "one record per ended query";

    const QDateTime at = QDateTime::currentDateTimeUtc();
    const QJsonArray found =
        historyJson(app.dir,
                    {QStringLiteral("127.10.13.1"), QStringLiteral("127.10.13.2"),
                     QStringLiteral("127.10.13.3")},
                    at);
    ASSERT_EQ(found.size(), 3);
    const QJsonObject alpha = found[0].toObject();
    const QJsonObject silentOne = found[1].toObject();
    const QJsonObject unknown = found[2].toObject();
    EXPECT_EQ(alpha[u"address"].toString(), QStringLiteral("127.10.13.1"));
    for (const char *key : {"firstSeen", "lastAnswered", "lastSeenWithPlayers"}) {
        const QDateTime t =
            QDateTime::fromString(alpha[QLatin1String(key)].toString(), Qt::ISODate);
        EXPECT_LE(qAbs(t.secsTo(at)), 30) << key;
        EXPECT_EQ(t.timeSpec(), Qt::UTC) << key;
    }
    EXPECT_EQ(alpha[u"answeredPercent7d"].toDouble(), 100.0);
    // Three identical answers are one sample; the host of a dedicated server is no player.
    ASSERT_EQ(alpha[u"samples"].toArray().size(), 1);
    EXPECT_EQ(sampleText(alpha[u"samples"][0]).section(u' ', 1), QStringLiteral("up 2/7 Castle"));

    EXPECT_TRUE(silentOne[u"lastAnswered"].isNull());
    EXPECT_TRUE(silentOne[u"lastSeenWithPlayers"].isNull());
    EXPECT_FALSE(silentOne[u"firstSeen"].isNull());
    EXPECT_EQ(silentOne[u"answeredPercent7d"].toDouble(-1), 0.0);
    ASSERT_EQ(silentOne[u"samples"].toArray().size(), 1);
    EXPECT_EQ(sampleText(silentOne[u"samples"][0]).section(u' ', 1), QStringLiteral("down 0/0 "));

    for (const char *key :
         {"firstSeen", "lastAnswered", "lastSeenWithPlayers", "answeredPercent7d"})
        EXPECT_TRUE(unknown[QLatin1String(key)].isNull()) << key;
    EXPECT_TRUE(unknown[u"samples"].toArray().isEmpty());

    // The real program, without a display, in plain form, while the store still has it open.
    const ProgramOutcome o = runHeadless({QStringLiteral("--history"), QStringLiteral("--game-dir"),
                                          app.dir.root(), QStringLiteral("-")},
                                         "127.10.13.2 127.10.13.1\n");
    EXPECT_EQ(o.status, 0) << o.err.toStdString();
    const QStringList lines = o.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("127.10.13.2\t"))) << lines[0].toStdString();
    EXPECT_EQ(lines[0].section(u'\t', 2), QStringLiteral("never\tnever\t0%\t1"));
    EXPECT_EQ(lines[1].section(u'\t', 4), QStringLiteral("100%\t1"));
}

TEST(History, KeepsChangesKeepAlivesAndCountsAndTheCommandsUsage) {
    GameDir dir(CoreApp::noFiles);
    const QString a = QStringLiteral("10.0.0.1");
    {
        HistoryStore store;
        ASSERT_TRUE(store.open(dir.path(HistoryStore::fileName())));
        const qint64 t = nowSecs - 3 * 3600;
        for (const HistoryObservation &o : {
                 seen(a, nowSecs - 8 * day, {QStringLiteral("Old")}), // outside the 7 days
                 seen(a, t, {}),
                 seen(a, t + 13, {}),                                 // same: not kept
                 seen(a, t + 25, {QStringLiteral("Rook")}),           // a player joined
                 seen(a, t + 25 + 16 * 60, {QStringLiteral("Rook")}), // kept alive
                 seen(a, t + 40 * 60, {QStringLiteral("Rook")}, QStringLiteral("Farm")),
                 silent(a, t + 50 * 60), // went quiet
                 silent(a, t + 51 * 60),
             })
            store.record(o);
    }
    const QJsonArray found = historyJson(dir, {a});
    ASSERT_EQ(found.size(), 1);
    QStringList samples;
    for (const QJsonValue &s : found[0][u"samples"].toArray())
        samples << sampleText(s);
    EXPECT_EQ(samples, (QStringList{
                           QStringLiteral("2027-01-15T05:00:00Z up 0/8 Castle"),
                           QStringLiteral("2027-01-15T05:00:25Z up 1/8 Castle"),
                           QStringLiteral("2027-01-15T05:16:25Z up 1/8 Castle"),
                           QStringLiteral("2027-01-15T05:40:00Z up 1/8 Farm"),
                           QStringLiteral("2027-01-15T05:50:00Z down 0/0 "),
                       }));
    // 5 of 7 queries in the last week answered; the old answer still counts as seen.
    EXPECT_EQ(found[0][u"answeredPercent7d"].toDouble(), 71.4);
    EXPECT_EQ(found[0][u"firstSeen"].toString(), QStringLiteral("2027-01-07T08:00:00Z"));
    EXPECT_EQ(found[0][u"lastAnswered"].toString(), QStringLiteral("2027-01-15T05:40:00Z"));
    EXPECT_EQ(found[0][u"lastSeenWithPlayers"].toString(), QStringLiteral("2027-01-15T05:40:00Z"));

    // Usage: no address, an unknown option, a missing list file.
    for (const QStringList &bad :
         {QStringList{QStringLiteral("--json")}, QStringList{QStringLiteral("--fast"), a},
          QStringList{QStringLiteral("--file"), dir.path(QStringLiteral("none")), a}})
        EXPECT_EQ(history(bad).status, 2) << bad.join(u' ').toStdString();
    EXPECT_EQ(history({QStringLiteral("--help")}).out.left(26),
              QStringLiteral("Usage: grquorvel --history"));
    // Without a history file the command answers with nothing, and makes none.
    GameDir empty(CoreApp::noFiles);
    const QJsonArray none = historyJson(empty, {a});
    EXPECT_TRUE(none[0][u"firstSeen"].isNull());
    EXPECT_FALSE(QFileInfo::exists(empty.path(HistoryStore::fileName())));
}

TEST(History, PruningDropsWhatIsOlderThanNinetyDaysAndDetailOlderThanTwo) {
    GameDir dir(CoreApp::noFiles);
    HistoryStore store;
    ASSERT_TRUE(store.open(dir.path(HistoryStore::fileName())));
    const QString kept = QStringLiteral("10.0.0.1"), gone = QStringLiteral("10.0.0.2");
    store.record(seen(kept, nowSecs - 100 * day, {QStringLiteral("Ann")}));
    store.record(seen(kept, nowSecs - 3 * day, {}));
    store.record(seen(kept, nowSecs - 3600, {}, QStringLiteral("Farm")));
    store.record(seen(gone, nowSecs - 95 * day, {QStringLiteral("Bob")}));
    store.prune(now);

    EXPECT_FALSE(store.summary(gone, now).firstSeen.has_value());
    EXPECT_FALSE(store.lastSeenWithPlayers(gone).has_value());
    const auto count = [&](const char *sql) {
        return scalar(store, QString::fromLatin1(sql)).toInt();
    };
    EXPECT_EQ(count("SELECT count(*) FROM servers"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM hourly"), 2) << "the 3 and 0 days old hours";
    EXPECT_EQ(count("SELECT count(*) FROM changes"), 1) << "only the last hour's detail";
    // What stays of the server: when it was first seen and last had players.
    const HistorySummary s = store.summary(kept, now);
    EXPECT_EQ(s.firstSeen, now.addDays(-100));
    EXPECT_EQ(s.lastSeenWithPlayers, now.addDays(-100));
    EXPECT_EQ(store.samples(kept, now.addDays(-5)).size(), 1);
}

TEST(History, NinetyDaysOfAHundredServersStayUnderFiftyMegabytes) {
    // A compressed run: a quarter of the servers, four days at a query every 12.5 s. After
    // two days the detail kept is as large as it gets; from there on only hourly figures
    // grow, so the size at 90 days is the size at two days plus 44 times the growth of the
    // two days after.
    constexpr int servers = 25;
    GameDir dir(CoreApp::noFiles);
    const QString path = dir.path(HistoryStore::fileName());
    HistoryStore store;
    ASSERT_TRUE(store.open(path));
    HistorySimulation simulation(servers);
    const qint64 start = nowSecs - 4 * day;
    qint64 atTwoDays = 0;
    int round = 0;
    auto settled = [&] {
        store.waitForWrites();
        scalar(store, QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        return sizeOnDisk(path);
    };
    for (qint64 ms = 0; ms < 4 * day * 1000; ms += 12500) {
        for (HistoryObservation &o : simulation.round(start + ms / 1000))
            store.record(std::move(o));
        if (++round % 16 == 0)
            store.flush();
        if (atTwoDays == 0 && ms >= 2 * day * 1000)
            atTwoDays = settled();
    }
    const qint64 atFourDays = settled();
    ASSERT_TRUE(store.isOn());
    const double projected = double(atTwoDays) + 44.0 * double(atFourDays - atTwoDays);
    const double aim = 50.0 * 1024 * 1024 * servers / 100;
    EXPECT_LT(projected, aim) << "two days " << atTwoDays << " B, four days " << atFourDays << " B";
}

TEST(History, AnUnwritableOrDamagedFileTurnsTheHistoryOffAndIsKept) {
    // Read-only directory, no file yet: off, and nothing is made.
    {
        GameDir dir(CoreApp::noFiles);
        HistoryStore store;
        dir.whileReadOnly([&] { EXPECT_FALSE(store.open(dir.path(HistoryStore::fileName()))); });
        EXPECT_FALSE(store.isOn());
        EXPECT_TRUE(
            store.offReason().startsWith(QStringLiteral("History is off for this run: cannot ")))
            << store.offReason().toStdString();
        EXPECT_FALSE(QFileInfo::exists(dir.path(HistoryStore::fileName())));
        store.record(seen(QStringLiteral("10.0.0.1"), nowSecs));
        EXPECT_EQ(store.pendingCount(), 0);
    }
    // Garbage, and a real history whose pages were scribbled over: each is renamed aside
    // byte for byte, and the next run starts a new file.
    const auto damage = [](const GameDir &dir, const QString &path) {
        {
            HistoryStore good;
            ASSERT_TRUE(good.open(path));
            HistorySimulation simulation(60);
            for (int r = 0; r < 200; ++r)
                for (HistoryObservation &o : simulation.round(nowSecs + r * 13))
                    good.record(std::move(o));
        }
        QByteArray bytes = dir.read(HistoryStore::fileName());
        ASSERT_GE(bytes.size(), 8 * 4096);
        bytes.replace(4096, 5 * 4096, QByteArray(5 * 4096, '\x5a'));
        dir.write(HistoryStore::fileName(), bytes);
    };
    for (const bool scribbled : {false, true}) {
        GameDir dir(CoreApp::noFiles);
        const QString path = dir.path(HistoryStore::fileName());
        if (scribbled)
            damage(dir, path);
        else
            dir.write(HistoryStore::fileName(), "this is no database at all\n");
        const QByteArray before = dir.read(HistoryStore::fileName());
        HistoryStore store;
        EXPECT_FALSE(store.open(path)) << scribbled;
        EXPECT_TRUE(store.offReason().startsWith(
            QStringLiteral("History is off for this run: the damaged history file was kept as "
                           "GRQuorvelHistory.sqlite.damaged-")))
            << store.offReason().toStdString();
        const QStringList aside = QDir(dir.root()).entryList({QStringLiteral("*.damaged-*")});
        ASSERT_EQ(aside.size(), 1);
        EXPECT_EQ(dir.read(aside[0]), before);
        EXPECT_FALSE(QFileInfo::exists(path));
        HistoryStore nextRun;
        EXPECT_TRUE(nextRun.open(path)) << nextRun.offReason().toStdString();
    }
}
