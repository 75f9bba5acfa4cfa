#include "app/HistoryCommand.h"

#include "app/CommandLine.h"
#include "app/QueryCommand.h"
#include "app/clsGRQuorvel.h"
#include "history/HistoryStore.h"
#include "platform/GameFinder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <cmath>

const char historyUsage[] =
    "Usage: grquorvel --history [--json] [--game-dir DIR] [--file FILE] [-] ADDR...\n"
    "  Prints what the history file (GRQuorvelHistory.sqlite in the game directory) knows of\n"
    "  each server, without querying anything: address, first seen, last answered, last seen\n"
    "  with players (UTC), answered in the last 7 days, kept samples of the last 24 hours\n"
    "  (tab-separated).\n"
    "  --json          print one JSON array instead, with the samples of the last 24 hours\n"
    "  --game-dir DIR  the Ghost Recon directory (default: this program's own when it holds\n"
    "                  the game, else the one found where the window looks for it)\n"
    "  --file FILE     read addresses from FILE (one or more per line; # starts a comment)\n"
    "  -               read addresses from standard input\n"
    "  Exit status: 0 done, 1 the history file cannot be read, 2 bad usage (also when the\n"
    "  game is not found, or found in several places).\n";

namespace {

QString isoTime(const QDateTime &time) {
    return time.toUTC().toString(Qt::ISODate);
}

QJsonValue jsonTime(const std::optional<QDateTime> &time) {
    return time ? QJsonValue(isoTime(*time)) : QJsonValue(QJsonValue::Null);
}

QString plainTime(const std::optional<QDateTime> &time) {
    return time ? isoTime(*time) : QStringLiteral("never");
}

double oneDecimal(double value) {
    return std::round(value * 10.0) / 10.0;
}

} // namespace

int runHistoryCommand(const QStringList &arguments, const StartupEnvironment &program,
                      QTextStream &in, QTextStream &out, QTextStream &err, const QDateTime &now) {
    QString gameDirectory;
    AddressArguments given;
    const auto gameDirOption = [&](const QStringList &args, qsizetype &i) {
        const std::optional<QString> dir = readGameDirOption(args, i);
        if (dir && !dir->isEmpty())
            gameDirectory = *dir;
        return dir && !dir->isEmpty();
    };
    if (const auto end =
            readAddressArguments(arguments, in, out, err, historyUsage, given, gameDirOption))
        return *end;
    const bool json = given.json;
    const QStringList &addresses = given.addresses;

    StartupEnvironment environment = program;
    environment.gameDirectory = gameDirectory;
    QString root = clsGRQuorvel::rootDirectoryFor(environment);
    if (clsGRQuorvel::needsGameSearch(environment)) {
        const QStringList found = clsGRQuorvel::foundGameDirectories(environment.gameSearch);
        if (found.size() > 1) {
            err << "grquorvel: Ghost Recon was found in several places; name one with "
                   "--game-dir:\n";
            for (const QString &directory : found)
                err << "  " << directory << '\n';
            return 2;
        }
        if (found.size() == 1)
            root = clsGRQuorvel::asRootDirectory(found.front());
    }
    if (platform::gameExecutableIn(root).isEmpty()) {
        err << clsGRQuorvel::gameNotFoundLine(environment) << '\n';
        return 2;
    }
    const QString path = root + HistoryStore::fileName();
    HistoryStore store;
    int status = 0;
    if (!store.open(path, HistoryStore::Mode::ReadOnly)) {
        if (QFileInfo::exists(path)) {
            err << "grquorvel: " << store.offReason() << '\n';
            status = 1;
        } else {
            err << "grquorvel: no history yet at " << QDir::toNativeSeparators(path) << '\n';
        }
    }

    const QDateTime dayAgo = now.addSecs(-24 * 3600);
    QJsonArray array;
    for (const QString &address : std::as_const(addresses)) {
        const HistorySummary s = store.summary(address, now);
        QList<HistoryObservation> samples = store.samples(address, dayAgo);
        // The row in force a day ago is older than the day asked for.
        samples.removeIf([&](const HistoryObservation &sample) {
            return sample.time < dayAgo.toSecsSinceEpoch();
        });
        if (!json) {
            out << address << '\t' << plainTime(s.firstSeen) << '\t' << plainTime(s.lastAnswered)
                << '\t' << plainTime(s.lastSeenWithPlayers) << '\t'
                << (s.answeredPercent7d ? QString::number(oneDecimal(*s.answeredPercent7d)) + u'%'
                                        : QStringLiteral("-"))
                << '\t' << samples.size() << '\n';
            continue;
        }
        QJsonArray rows;
        for (const HistoryObservation &sample : std::as_const(samples)) {
            rows.append(QJsonObject{{QStringLiteral("time"),
                                     isoTime(QDateTime::fromSecsSinceEpoch(sample.time, Qt::UTC))},
                                    {QStringLiteral("answered"), sample.answered},
                                    {QStringLiteral("players"), sample.players},
                                    {QStringLiteral("maxPlayers"), sample.maxPlayers},
                                    {QStringLiteral("map"), sample.map}});
        }
        QJsonObject o;
        o.insert(QStringLiteral("address"), address);
        o.insert(QStringLiteral("firstSeen"), jsonTime(s.firstSeen));
        o.insert(QStringLiteral("lastAnswered"), jsonTime(s.lastAnswered));
        o.insert(QStringLiteral("lastSeenWithPlayers"), jsonTime(s.lastSeenWithPlayers));
        o.insert(QStringLiteral("answeredPercent7d"),
                 s.answeredPercent7d ? QJsonValue(oneDecimal(*s.answeredPercent7d))
                                     : QJsonValue(QJsonValue::Null));
        o.insert(QStringLiteral("samples"), rows);
        array.append(o);
    }
    if (json)
        out << QJsonDocument(array).toJson(QJsonDocument::Indented);
    out.flush();
    return status;
}
