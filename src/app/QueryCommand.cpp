#include "app/QueryCommand.h"

#include "app/clsGRQuorvel.h"
#include "common/Prompter.h"
#include "platform/ProcessLauncher.h"
#include "servers/LanServerFinder.h"
#include "servers/basUtilities.h"
#include "servers/clsGRServers.h"
#include "servers/clsGlobalGRControls.h"

#include <QCoreApplication>
#include <QFile>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <vector>

const char queryUsage[] =
    "Usage: grquorvel --query [--json] [--file FILE] ADDR...\n"
    "       grquorvel --query --lan [--json]\n"
    "  Asks every server for its game once and prints one line per server: address, status,\n"
    "  players/slots, map, time left, name, round trip in ms (tab-separated).\n"
    "  --json       print one JSON array instead\n"
    "  --file FILE  read addresses from FILE (one or more per line; # starts a comment)\n"
    "  -            read addresses from standard input\n"
    "  --lan        find the servers on the local network instead: the request goes to the\n"
    "               broadcast address of every network interface that can broadcast, and\n"
    "               every server that answers within 3 seconds is printed\n"
    "  Exit status: 0 every server answered, 1 some did not, 2 bad usage (also for text that\n"
    "  is neither an IPv4 address nor a host name). With --lan: 0 some server answered, 1 none\n"
    "  did (or no interface can broadcast).\n";

namespace {

// Nobody is there to answer: boxes are written to the error stream and given up on.
class StreamPrompter : public Prompter {
public:
    explicit StreamPrompter(QTextStream &err)
        : m_err(err) {}
    Answer ask(const QString &text, const QString &title, Buttons buttons, Icon) override {
        m_err << title << ": " << text << '\n';
        m_err.flush();
        return givingUp(buttons);
    }

private:
    QTextStream &m_err;
};

QString statusName(int status) {
    switch (status) {
    case clsGRServer::NotQueried:
        return QStringLiteral("NotQueried");
    case clsGRServer::Waiting:
        return QStringLiteral("Waiting");
    case clsGRServer::Answered:
        return QStringLiteral("Answered");
    default:
        return QStringLiteral("NoReply");
    }
}

template <typename T> QJsonValue orNull(const std::optional<T> &value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

// A code by its name; null when it was not sent or is not one of `names` (the first being
// code `first`).
QJsonValue codeName(std::optional<int> code, int first, std::initializer_list<const char *> names) {
    if (!code || *code < first || *code >= first + static_cast<int>(names.size()))
        return QJsonValue::Null;
    return QString::fromLatin1(names.begin()[*code - first]);
}

QJsonValue patchName(std::optional<grquery::Patch> patch) {
    if (!patch)
        return QJsonValue::Null;
    const QString number = grquery::patchNumber(*patch);
    return number.isEmpty() ? QStringLiteral("unknown") : number;
}

QJsonObject toJson(const clsGRServer &r) {
    const bool answered = r.status() == clsGRServer::Answered;
    QJsonArray players;
    QJsonArray playerStates;
    for (int i = 1; i <= r.Players().Count(); ++i) {
        const QString name = *r.Players().Item(i);
        players.append(name);
        const grquery::PlayerState *state = r.PlayerStateOf(r.Players().keyAt(i));
        QJsonObject o{{QStringLiteral("name"), name}};
        o.insert(QStringLiteral("team"), state ? QJsonValue(state->team) : QJsonValue());
        o.insert(QStringLiteral("dead"), state ? QJsonValue(state->dead) : QJsonValue());
        playerStates.append(o);
    }
    const grquery::GameSettings &g = r.Settings();
    QJsonObject o;
    o.insert(QStringLiteral("address"), r.IP());
    o.insert(QStringLiteral("status"), statusName(r.status()));
    o.insert(QStringLiteral("name"), r.Name());
    o.insert(QStringLiteral("map"), r.Map());
    o.insert(QStringLiteral("mission"), r.Mission());
    o.insert(QStringLiteral("gameType"), r.GameType());
    o.insert(QStringLiteral("players"), players);
    o.insert(QStringLiteral("playerCount"), r.PlayerCount());
    o.insert(QStringLiteral("maxPlayers"), r.MaxPlayers() - (r.Dedicated() ? 1 : 0));
    o.insert(QStringLiteral("dedicated"), r.Dedicated());
    o.insert(QStringLiteral("version"), r.Version());
    o.insert(QStringLiteral("mods"), r.Mods());
    o.insert(QStringLiteral("motd"), r.MOTD());
    o.insert(QStringLiteral("gameState"), r.GameState());
    o.insert(QStringLiteral("timeElapsed"), r.TimeElapsed());
    o.insert(QStringLiteral("length"), r.LengthSeconds());
    o.insert(QStringLiteral("timeRemaining"), r.TimeRemaining());
    o.insert(QStringLiteral("queryMs"),
             answered ? QJsonValue(r.QueryRoundTripMs()) : QJsonValue(QJsonValue::Null));
    o.insert(QStringLiteral("patch"), patchName(g.patch));
    o.insert(QStringLiteral("password"), orNull(g.password));
    o.insert(QStringLiteral("gameMode"), codeName(g.gameMode, 2, {"coop", "solo", "team"}));
    o.insert(QStringLiteral("respawnType"),
             codeName(g.respawnType, 0, {"none", "individual", "team", "infinite"}));
    o.insert(QStringLiteral("respawnCount"), orNull(g.respawnCount));
    o.insert(QStringLiteral("respawnWaitShortest"), orNull(g.respawnWaitShortest));
    o.insert(QStringLiteral("respawnWaitLongest"), orNull(g.respawnWaitLongest));
    o.insert(QStringLiteral("respawnInvulnerable"), orNull(g.respawnInvulnerable));
    o.insert(QStringLiteral("debriefTime"), orNull(g.debriefSeconds));
    o.insert(QStringLiteral("startTimer"), orNull(g.startTimer));
    o.insert(QStringLiteral("startTimerSeconds"), orNull(g.startTimerSeconds));
    o.insert(QStringLiteral("startWait"), orNull(g.startWaitSeconds));
    o.insert(QStringLiteral("observers"), orNull(g.observers));
    o.insert(QStringLiteral("iff"), codeName(g.iff, 0, {"none", "reticle", "names"}));
    o.insert(QStringLiteral("threatIndicator"), orNull(g.threatIndicator));
    o.insert(QStringLiteral("weaponRestrictions"), orNull(g.weaponRestrictions));
    o.insert(QStringLiteral("playerStates"), playerStates);
    return o;
}

QString toLine(const clsGRServer &r) {
    QStringList fields{r.IP(), statusName(r.status())};
    if (r.status() == clsGRServer::Answered) {
        fields << r.PlayerCountString() << r.Map() << r.TimeRemaining() << r.Name()
               << QString::number(r.QueryRoundTripMs());
    } else {
        fields << QStringLiteral("-") << QStringLiteral("-") << QStringLiteral("-")
               << QStringLiteral("-") << QStringLiteral("-");
    }
    return fields.join(u'\t');
}

// Prints what `servers` hold, one line each or one JSON array.
void print(const std::vector<const clsGRServer *> &servers, bool json, QTextStream &out) {
    QJsonArray array;
    for (const clsGRServer *r : servers) {
        if (json)
            array.append(toJson(*r));
        else
            out << toLine(*r) << '\n';
    }
    if (json)
        out << QJsonDocument(array).toJson(QJsonDocument::Indented);
    out.flush();
}

// The texts of the local search are the player's to read, in the player's language.
QString lanText(const char *text) {
    return QCoreApplication::translate("QueryCommand", text);
}

int runLanQuery(const QStringList &arguments, QTextStream &out, QTextStream &err,
                const Timing &timing) {
    bool json = false;
    for (const QString &arg : arguments) {
        if (arg == u"--json") {
            json = true;
        } else if (arg == u"--help" || arg == u"-h") {
            out << queryUsage;
            return 0;
        } else if (arg != u"--lan") {
            err << "grquorvel: "
                << lanText(QT_TRANSLATE_NOOP("QueryCommand",
                                             "--lan finds the servers itself and takes no %1"))
                       .arg(arg)
                << '\n'
                << queryUsage;
            return 2;
        }
    }
    LanServerFinder finder(timing);
    if (!finder.start()) {
        if (finder.targets().isEmpty())
            err << "grquorvel: "
                << lanText(QT_TRANSLATE_NOOP("QueryCommand",
                                             "no network interface here can send broadcasts"))
                << '\n';
        else
            err << "grquorvel: "
                << lanText(QT_TRANSLATE_NOOP("QueryCommand", "cannot search the local network: %1"))
                       .arg(finder.sendError())
                << '\n';
        print({}, json, out);
        return 1;
    }
    while (finder.isSearching())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (finder.count() == 0) {
        if (finder.sendError().isEmpty())
            err << "grquorvel: "
                << lanText(
                       QT_TRANSLATE_NOOP("QueryCommand", "no server answered on the local network"))
                << '\n';
        else
            err << "grquorvel: "
                << lanText(QT_TRANSLATE_NOOP("QueryCommand", "cannot send to %1"))
                       .arg(finder.sendError())
                << '\n';
    }

    // In address order, so that two searches of the same network print the same.
    std::vector<const clsGRServer *> found;
    for (int i = 0; i < finder.count(); ++i)
        found.push_back(&finder.at(i));
    std::sort(found.begin(), found.end(), [](const clsGRServer *a, const clsGRServer *b) {
        return QHostAddress(a->IP()).toIPv4Address() < QHostAddress(b->IP()).toIPv4Address();
    });
    print(found, json, out);
    return found.empty() ? 1 : 0;
}

} // namespace

void addressesFrom(QTextStream &stream, QStringList &into) {
    while (!stream.atEnd()) {
        QString line = stream.readLine();
        const qsizetype hash = line.indexOf(u'#');
        if (hash >= 0)
            line.truncate(hash);
        into << line.split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
    }
}

bool addressesFromFile(const QString &path, QStringList &into, QTextStream &err) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        err << "grquorvel: cannot read " << file.fileName() << ": " << file.errorString() << '\n';
        return false;
    }
    QTextStream stream(&file);
    addressesFrom(stream, into);
    return true;
}

std::optional<int>
readAddressArguments(const QStringList &arguments, QTextStream &in, QTextStream &out,
                     QTextStream &err, const char *usage, AddressArguments &into,
                     const std::function<bool(const QStringList &, qsizetype &)> &option) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (option && option(arguments, i)) {
            continue;
        } else if (arg == u"--json") {
            into.json = true;
        } else if (arg == u"--file" && i + 1 < arguments.size()) {
            if (!addressesFromFile(arguments[++i], into.addresses, err))
                return 2;
        } else if (arg == u"-") {
            addressesFrom(in, into.addresses);
        } else if (arg == u"--help" || arg == u"-h") {
            out << usage;
            return 0;
        } else if (arg.startsWith(u'-')) {
            err << "grquorvel: unknown option " << arg << '\n' << usage;
            return 2;
        } else {
            // Blanks around an address (a quoted argument) are no part of it.
            into.addresses << arg.trimmed();
        }
    }
    if (into.addresses.isEmpty()) {
        err << "grquorvel: no server address given\n" << usage;
        return 2;
    }
    return std::nullopt;
}

int runQueryCommand(const QStringList &arguments, QTextStream &in, QTextStream &out,
                    QTextStream &err, const Timing &timing) {
    if (arguments.contains(QStringLiteral("--lan")))
        return runLanQuery(arguments, out, err, timing);
    AddressArguments given;
    if (const auto end = readAddressArguments(arguments, in, out, err, queryUsage, given))
        return *end;
    const bool json = given.json;
    const QStringList &addresses = given.addresses;
    // Text that can name no server is a mistake to point out, not a server that is silent.
    for (const QString &address : addresses) {
        if (!IsServerAddress(address)) {
            err << "grquorvel: \"" << address << "\" is neither an IPv4 address nor a host name\n";
            return 2;
        }
    }

    StreamPrompter prompter(err);
    platform::DetachedProcessLauncher launcher;
    // Nothing of a game directory is needed: an empty one keeps every file of the player's
    // untouched.
    const QTemporaryDir emptyGameDirectory;
    StartupEnvironment environment;
    environment.gameDirectory = emptyGameDirectory.path();
    clsGRQuorvel root(environment, prompter, launcher, timing);
    root.createObjects();
    clsGRServers &servers = *root.GRServers();
    for (const QString &address : addresses) {
        const std::optional<int> slot = root.GRServerControls()->fnNextTimerAndWinsock();
        servers.AddServer(address, QString(), QString(), slot.value_or(-1));
    }
    servers.RefreshAllServerData();
    while (servers.AnyWaiting())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);

    bool allAnswered = true;
    std::vector<const clsGRServer *> all;
    for (const clsGRServer &r : servers) {
        allAnswered = allAnswered && r.status() == clsGRServer::Answered;
        all.push_back(&r);
    }
    print(all, json, out);
    return allAnswered ? 0 : 1;
}
