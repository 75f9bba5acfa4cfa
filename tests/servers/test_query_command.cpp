#include "app/QueryCommand.h"
#include "servers/GRQueryProtocol.h"
#include "servers/SimProcess.h"
#include "support/ProgramRun.h"

#include <QFile>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkDatagram>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QUdpSocket>

#include <gtest/gtest.h>

namespace {
// The first request to 127.10.6.1 is lost on the way.
const QByteArray scenario = R"({"servers": [
    {"address": "127.10.6.1", "lose": 1, "state": {"name": "Alpha", "map": "Castle",
     "mission": "M1", "gameType": "Siege", "players": ["Host", "Rook"], "dedicated": true,
     "maxPlayers": 8, "gameState": "Playing", "length": 0, "motd": "hi", "mods": "mp1",
     "version": "11.101A"}},
    {"address": "127.10.6.2", "state": {"name": "Bravo", "map": "Farm", "players": [],
     "dedicated": false, "maxPlayers": 6, "gameState": "Joining"}},
    {"address": "127.10.6.3", "behaviour": "silent"}]})";

using Outcome = ProgramOutcome;

Outcome runInProcess(const QStringList &args, const QString &input = {}) {
    QString inText = input, outText, errText;
    QTextStream in(&inText), out(&outText), err(&errText);
    const int status = runQueryCommand(args, in, out, err, {.queryWindowMs = 300});
    return {status, outText, errText};
}

// Checks that `o` has every key of the object `json` with its value.
void expectHas(const QJsonObject &o, const char *json) {
    const QJsonObject want = QJsonDocument::fromJson(json).object();
    EXPECT_FALSE(want.isEmpty()) << json;
    for (auto it = want.begin(); it != want.end(); ++it)
        EXPECT_EQ(o.value(it.key()), it.value()) << it.key().toStdString();
}

// The real program, with no display at all.
Outcome runProgram(const QStringList &args) {
    return runHeadless(QStringList{QStringLiteral("--query")} + args);
}
} // namespace

TEST(QueryCommand, LinesOrJsonPerServerAndTheExitStatusByTheAnswers) {
    const SimProcess sim(scenario);
    ASSERT_TRUE(sim.isReady());
    QTemporaryDir dir;
    QFile list(dir.filePath(QStringLiteral("servers.txt")));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("# my servers\n127.10.6.2\n");
    list.close();

    // The real program, with its own timings, asks again within the window; blanks around an
    // address are no part of it.
    const Outcome ok =
        runProgram({QStringLiteral(" 127.10.6.1 "), QStringLiteral("--file"), list.fileName()});
    EXPECT_EQ(ok.status, 0) << ok.err.toStdString();
    const QStringList lines = ok.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    bool isNumber = false;
    lines[0].section(u'\t', 6).toInt(&isNumber); // the query time
    EXPECT_TRUE(lines[0].startsWith(u"127.10.6.1\tAnswered\t1/7\tCastle\t--:--\tAlpha\t") &&
                isNumber);
    EXPECT_TRUE(lines[1].startsWith(u"127.10.6.2\tAnswered\t0/6\tFarm\tJoining\tBravo\t"));

    const Outcome silent =
        runInProcess({QStringLiteral("127.10.6.3"), QStringLiteral("127.10.6.2")});
    EXPECT_EQ(silent.status, 1);
    EXPECT_TRUE(silent.out.startsWith(u"127.10.6.3\tNoReply\t-\t-\t-\t-\t-\n"));

    for (const QStringList &bad :
         {QStringList{}, QStringList{QStringLiteral("--bogus")},
          QStringList{QStringLiteral("--file"), dir.filePath(QStringLiteral("none"))}}) {
        const Outcome usage = runProgram(bad);
        EXPECT_TRUE(usage.status == 2 && usage.out.isEmpty() && !usage.err.isEmpty())
            << bad.join(u' ').toStdString();
    }

    // JSON from standard input: every field of every server.
    const Outcome json = runInProcess({QStringLiteral("--json"), QStringLiteral("-")},
                                      QStringLiteral("127.10.6.1\n127.10.6.3\n"));
    EXPECT_EQ(json.status, 1);
    QJsonArray array = QJsonDocument::fromJson(json.out.toUtf8()).array();
    ASSERT_EQ(array.size(), 2);
    EXPECT_TRUE(array[0].toObject().value(u"queryMs").isDouble());
    expectHas(array[0].toObject(), R"({"address": "127.10.6.1",
        "status": "Answered", "name": "Alpha", "map": "Castle", "mission": "M1",
        "gameType": "Siege", "players": ["Rook"], "playerCount": 1, "maxPlayers": 7,
        "dedicated": true, "version": "11.101A", "mods": "mp1", "motd": "hi",
        "gameState": "Playing", "timeElapsed": 0, "length": 0, "timeRemaining": "--:--"})");
    expectHas(array[1].toObject(), R"({"status": "NoReply", "queryMs": null})");
}

TEST(QueryCommand, JsonGivesEverySettingUnderTheKeysTheManualNames) {
    const SimProcess sim(R"({"servers": [
        {"address": "127.10.6.11", "state": {"name": "Coop", "gameType": "Mission",
         "players": ["Host", "Rook", "Ann"], "dedicated": true, "gameState": "Debrief",
         "playerStates": [{"team": 5}, {"team": 1, "dead": true}, {"team": 1}],
         "patch": "1.3", "password": true, "gameMode": "coop", "respawnType": "individual",
         "respawnCount": 3, "respawnWaitShortest": 10, "respawnWaitLongest": 30,
         "respawnInvulnerable": 5, "debriefTime": 60, "startTimer": true,
         "startTimerSeconds": 120, "startWait": 40, "observers": false, "iff": "reticle",
         "threatIndicator": true, "weaponRestrictions": "No M203"}},
        {"address": "127.10.6.12", "state": {"players": ["Rook"], "dedicated": false,
         "patch": "unknown", "gameMode": 4, "respawnType": 0, "startTimer": false,
         "startTimerSeconds": 0, "iff": 7, "password": false}}]})");
    ASSERT_TRUE(sim.isReady());
    const Outcome run = runInProcess(
        {QStringLiteral("--json"), QStringLiteral("127.10.6.11"), QStringLiteral("127.10.6.12")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonArray array = QJsonDocument::fromJson(run.out.toUtf8()).array();
    ASSERT_EQ(array.size(), 2);
    expectHas(array[0].toObject(), R"({"gameState": "Debrief", "timeRemaining": "n/a",
        "patch": "1.3", "password": true, "gameMode": "coop", "respawnType": "individual",
        "respawnCount": 3, "respawnWaitShortest": 10, "respawnWaitLongest": 30,
        "respawnInvulnerable": 5, "debriefTime": 60, "startTimer": true,
        "startTimerSeconds": 120, "startWait": 40, "observers": false, "iff": "reticle",
        "threatIndicator": true, "weaponRestrictions": "No M203",
        "playerStates": [{"name": "Rook", "team": 1, "dead": true},
                         {"name": "Ann", "team": 1, "dead": false}]})");
    // A patch not known: its reply is read up to the start timer; a code not known is null.
    expectHas(array[1].toObject(), R"({"patch": "unknown", "password": false, "gameMode": "team",
        "respawnType": "none", "startTimer": false, "startTimerSeconds": 0,
        "respawnCount": null, "debriefTime": null, "observers": null, "iff": null,
        "threatIndicator": null, "weaponRestrictions": null,
        "playerStates": [{"name": "Rook", "team": 5, "dead": false}]})");

    // Every key is in the manual page.
    QFile manual(QStringLiteral(QUORVEL_SOURCE_DIR "/data/grquorvel.1"));
    ASSERT_TRUE(manual.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(manual.readAll());
    QStringList keys = array[0].toObject().keys();
    keys += array[0].toObject().value(QLatin1String("playerStates"))[0].toObject().keys();
    for (const QString &key : keys)
        EXPECT_TRUE(page.contains(QRegularExpression(QStringLiteral("^\\.IR? %1\\b").arg(key),
                                                     QRegularExpression::MultilineOption)))
            << key.toStdString();
}

TEST(Simulator, CountedServersVaryTheirSettingsAndAnswerEveryRequestThatStartsWithTheQuery) {
    constexpr int count = 60;
    const SimProcess sim(R"({"servers": []})",
                         {QStringLiteral("--count"), QString::number(count),
                          QStringLiteral("--first"), QStringLiteral("127.10.12.1")});
    ASSERT_TRUE(sim.isReady());
    QUdpSocket socket;
    ASSERT_TRUE(socket.bind(QHostAddress::LocalHost, 0));
    for (int i = 1; i <= count; ++i)
        socket.writeDatagram(grquery::request(),
                             QHostAddress(QStringLiteral("127.10.12.%1").arg(i)), grquery::port);
    QList<QByteArray> replies;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            while (socket.hasPendingDatagrams())
                replies << socket.receiveDatagram().data();
            return replies.size() == count;
        },
        5000));

    QSet<QString> seen;
    QSet<int> patches;
    const auto onOff = [](bool on) { return on ? QStringLiteral(" on") : QStringLiteral(" off"); };
    for (const QByteArray &reply : replies) {
        const auto status = grquery::decodeReply(reply);
        ASSERT_TRUE(status.has_value());
        // Written again from what was read, the reply is the same to the byte: every field
        // was read, and the length in the header is right.
        EXPECT_EQ(grquery::encodeReply(*status), reply);
        EXPECT_EQ(static_cast<quint8>(reply[5]) + 256 * static_cast<quint8>(reply[6]),
                  reply.size() - 7);
        const grquery::GameSettings &g = status->settings;
        ASSERT_TRUE(g.weaponRestrictions.has_value()) << "read to the end";
        EXPECT_EQ(status->playerStates.size(), status->players.size());
        patches << static_cast<int>(*g.patch);
        seen << QStringLiteral("co-op") + onOff(*g.gameMode == 2)
             << QStringLiteral("respawns") + onOff(*g.respawnType != 0)
             << QStringLiteral("iff") + onOff(*g.iff != 0)
             << QStringLiteral("threat") + onOff(*g.threatIndicator)
             << QStringLiteral("password") + onOff(*g.password)
             << QStringLiteral("start timer") + onOff(*g.startTimer);
        for (const grquery::PlayerState &p : status->playerStates)
            seen << QStringLiteral("dead") + onOff(p.dead);
    }
    for (const char *setting :
         {"co-op", "respawns", "iff", "threat", "password", "start timer", "dead"})
        for (bool on : {false, true})
            EXPECT_TRUE(seen.contains(QLatin1String(setting) + onOff(on))) << setting << on;
    EXPECT_GE(patches.size(), 2);

    // Real servers look only at the request's first ten bytes; other clients send other bytes
    // after. After each request the probe sends the real one; the simulator answers in the order
    // the requests came, so once the probe has its answer, any answer to the other is in too.
    const QByteArray prefix = QByteArray::fromHex("C0DEF111420600F50300");
    const std::pair<QByteArray, bool> requests[] = {
        {prefix + QByteArray::fromHex("0102030405"), true},
        {prefix + QByteArray(600, 'x'), true},
        {prefix, true},
        {prefix.left(9), false},
        {QByteArray::fromHex("C1DEF111420600F503000000"), false},
    };
    QUdpSocket probe;
    ASSERT_TRUE(probe.bind(QHostAddress::LocalHost, 0));
    const QHostAddress server(QStringLiteral("127.10.12.1"));
    for (const auto &[request, answered] : requests) {
        SCOPED_TRACE(request.toHex().left(40).toStdString());
        socket.writeDatagram(request, server, grquery::port);
        probe.writeDatagram(grquery::request(), server, grquery::port);
        ASSERT_TRUE(probe.waitForReadyRead(5000));
        probe.receiveDatagram();
        EXPECT_EQ(socket.hasPendingDatagrams(), answered);
        while (socket.hasPendingDatagrams())
            EXPECT_TRUE(grquery::decodeReply(socket.receiveDatagram().data()).has_value());
    }
}

// Text that can name no server is a mistake of usage, and the message names it.
TEST(QueryCommand, TextThatCanNameNoServerIsRefusedByName) {
    for (const char *bad : {"999.1.1.1", "a b", "1.2.3.4:99999", "gr..example.org",
                            "gr-.example.org", "1.2.3.4/24", "1.2.3.4x", ""}) {
        SCOPED_TRACE(bad);
        const QString text = QString::fromLatin1(bad);
        const Outcome o = runInProcess({QStringLiteral("127.10.6.2"), text});
        EXPECT_EQ(o.status, 2);
        EXPECT_TRUE(o.out.isEmpty());
        EXPECT_TRUE(o.err.contains(u'"' + text + u'"')) << o.err.toStdString();
    }
}

TEST(QueryCommand, LanTakesNoAddressesAndExplainsItself) {
    for (const char *args : {"--lan 127.0.0.1", "--json --lan --file x", "- --lan"}) {
        const Outcome o = runInProcess(QString::fromLatin1(args).split(u' '));
        EXPECT_EQ(o.status, 2) << args;
        EXPECT_TRUE(o.err.contains(u"--lan finds the servers itself")) << o.err.toStdString();
        EXPECT_TRUE(o.out.isEmpty());
    }
    const Outcome help = runInProcess({QStringLiteral("--lan"), QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains(u"grquorvel --query --lan [--json]"));
}

#ifdef Q_OS_LINUX
// A well-formed name that does not resolve is a silent server. The program runs in a network
// of its own, which has no way to any name server: nothing leaves this machine.
TEST(QueryCommand, ANameThatDoesNotResolveIsSilent) {
    if (QProcess::execute(QStringLiteral("unshare"),
                          {QStringLiteral("-n"), QStringLiteral("true")}) != 0)
        GTEST_SKIP() << "no network namespace can be made here";
    const Outcome o =
        runHeadless({QStringLiteral("--query"), QStringLiteral("no-such-host.example")}, {},
                    {QStringLiteral("unshare"), QStringLiteral("-n")});
    EXPECT_EQ(o.status, 1) << o.err.toStdString();
    EXPECT_EQ(o.out, QStringLiteral("no-such-host.example\tNoReply\t-\t-\t-\t-\t-\n"));
}
#endif
