#include "app/QueryCommand.h"
#include "servers/SimProcess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {
const QByteArray scenario = R"({"servers": [
    {"address": "127.10.6.1", "state": {"name": "Alpha", "map": "Castle", "mission": "M1",
     "gameType": "Siege", "players": ["Host", "Rook"], "dedicated": true, "maxPlayers": 8,
     "gameState": "Playing", "length": 0, "motd": "hi", "mods": "mp1", "version": "11.101A"}},
    {"address": "127.10.6.2", "state": {"name": "Bravo", "map": "Farm", "players": [],
     "dedicated": false, "maxPlayers": 6, "gameState": "Joining"}},
    {"address": "127.10.6.3", "behaviour": "silent"}]})";

struct Outcome {
    int status;
    QString out, err;
};

Outcome runInProcess(const QStringList &args, const QString &input = {}) {
    QString inText = input, outText, errText;
    QTextStream in(&inText), out(&outText), err(&errText);
    const int status = runQueryCommand(args, in, out, err, {.queryWindowMs = 300});
    return {status, outText, errText};
}

// The real program, with no display at all.
Outcome runProgram(const QStringList &args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QString::fromLatin1(name));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QUORVEL_BINARY_DIR "/grquorvel"),
            QStringList{QStringLiteral("--query")} + args);
    p.waitForFinished(10000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
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

    const Outcome ok =
        runProgram({QStringLiteral("127.10.6.1"), QStringLiteral("--file"), list.fileName()});
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
    QJsonObject answered = array[0].toObject();
    EXPECT_TRUE(answered.take(QLatin1String("queryMs")).isDouble());
    EXPECT_EQ(answered, QJsonDocument::fromJson(R"({"address": "127.10.6.1", "status": "Answered",
        "name": "Alpha", "map": "Castle", "mission": "M1", "gameType": "Siege",
        "players": ["Rook"], "playerCount": 1, "maxPlayers": 7, "dedicated": true,
        "version": "11.101A", "mods": "mp1", "motd": "hi", "gameState": "Playing",
        "timeElapsed": 0, "length": 0, "timeRemaining": "--:--"})")
                            .object());
    const QJsonObject noReply = array[1].toObject();
    EXPECT_EQ(noReply.value(QLatin1String("status")).toString(), QStringLiteral("NoReply"));
    EXPECT_TRUE(noReply.value(QLatin1String("queryMs")).isNull());
}

// Text that can name no server is a mistake of usage, and the message names it.
TEST(QueryCommand, TextThatCanNameNoServerIsRefusedByName) {
    for (const char *bad : {"999.1.1.1", "a b", "1.2.3.4:99999", "gr..example.org",
                            "gr-.example.org", "1.2.3.4/24", ""}) {
        SCOPED_TRACE(bad);
        const QString text = QString::fromLatin1(bad);
        const Outcome o = runInProcess({QStringLiteral("127.10.6.2"), text});
        EXPECT_EQ(o.status, 2);
        EXPECT_TRUE(o.out.isEmpty());
        EXPECT_TRUE(o.err.contains(u'"' + text + u'"')) << o.err.toStdString();
    }
}

// The real program, with its own timings: a request lost on the way is asked again within the
// server's window, and blanks around an address are no part of it.
TEST(QueryCommand, ALostRequestIsAskedAgainAndBlanksAroundAnAddressDoNotCount) {
    const SimProcess sim(R"({"servers": [{"address": "127.10.12.1", "lose": 1,
                                          "state": {"name": "Again"}}]})");
    ASSERT_TRUE(sim.isReady());
    const Outcome o = runProgram({QStringLiteral(" 127.10.12.1 ")});
    EXPECT_EQ(o.status, 0) << o.err.toStdString();
    EXPECT_TRUE(o.out.startsWith(u"127.10.12.1\tAnswered\t")) << o.out.toStdString();
}

#ifdef Q_OS_LINUX
// A well-formed name that does not resolve is a silent server. The program runs in a network
// of its own, which has no way to any name server: nothing leaves this machine.
TEST(QueryCommand, ANameThatDoesNotResolveIsSilent) {
    if (QProcess::execute(QStringLiteral("unshare"),
                          {QStringLiteral("-n"), QStringLiteral("true")}) != 0)
        GTEST_SKIP() << "no network namespace can be made here";
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QString::fromLatin1(name));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("unshare"),
            {QStringLiteral("-n"), QStringLiteral(QUORVEL_BINARY_DIR "/grquorvel"),
             QStringLiteral("--query"), QStringLiteral("no-such-host.example")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 1) << p.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()),
              QStringLiteral("no-such-host.example\tNoReply\t-\t-\t-\t-\t-\n"));
}
#endif
