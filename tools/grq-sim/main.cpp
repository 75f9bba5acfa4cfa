// grq-sim: serves simulated Ghost Recon status servers on loopback addresses.
//
//   grq-sim --count N --first ADDR [--seed S] [--drop PERCENT] [--scenario FILE]
//           [--broadcast ADDR]
//
// Serves N servers on consecutive IPv4 addresses from ADDR, port 2348, plus any server the
// scenario names. Prints every address it serves, one per line, then "ready", and runs until
// it is ended. Every address must lie in 127.0.0.0/8, or in 198.18.0.0/15: the range set aside
// for test networks, which the tests put on veth pairs inside network namespaces of their own
// (an address can only be served where an interface holds it).
//
// --broadcast also takes requests sent to that broadcast address (port 2348): every server
// answers them from its own address, as servers on one LAN do. Several simulators may listen
// on the same broadcast address.
//
// --drop loses that share of the requests received (0 to 100, fractions allowed), as a busy
// link would; which ones follows from the seed.
//
// A scenario is a JSON object {"servers": [ ... ]}; each entry has an "address" and may give:
//   "behaviour": "answer" (default), "silent", "truncated", "random" or "foreign"
//   "delayMs":   answer this much later (a slow server)
//   "lose":      the first this many requests it receives are lost on the way
//   "truncateAt": bytes kept of a truncated reply (default 30)
//   "from":      the address a "foreign" reply (or a flood) is sent from
//   "floodMs":   on every request, also flood the asker from "from" with junk datagrams for
//                this long, from a process of its own (a hostile server, or a neighbour)
//   "state":     {"name", "map", "mission", "gameType", "maxPlayers", "players": [...],
//                 "version", "mods", "dedicated", "timeElapsed", "gameState" (a code, or
//                 "Joining", "Playing" or "Debrief"), "motd", "length", "password",
//                 "patch" ("1.2", "1.3", "1.4" or "unknown"), "gameMode" (a code, or "coop",
//                 "solo" or "team"), "respawnType" (a code, or "none", "individual", "team"
//                 or "infinite"), "respawnCount", "respawnWaitShortest", "respawnWaitLongest",
//                 "respawnInvulnerable", "debriefTime", "startTimer", "startTimerSeconds",
//                 "startWait", "observers", "iff" (a code, or "none", "reticle" or "names"),
//                 "threatIndicator", "weaponRestrictions",
//                 "playerStates": [{"dead", "team"}, ...] (one per name, host first)}
// Fields the state leaves out are made up as for the servers of --count.

#include "servers/GRQueryProtocol.h"

#include <QFile>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QStringList>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <queue>
#include <random>
#include <vector>

namespace {

enum class Behaviour { Answer, Silent, Truncated, Random, Foreign };

struct Server {
    quint32 address = 0;
    Behaviour behaviour = Behaviour::Answer;
    int delayMs = 0;
    int truncateAt = 30;
    quint32 from = 0;
    int floodMs = 0;
    int lose = 0;
    QByteArray reply;
    int fd = -1;
};

struct Delayed {
    std::chrono::steady_clock::time_point due;
    quint64 order; // replies due at the same time leave in the order their requests came
    int fd;
    sockaddr_in to;
    QByteArray bytes;
    bool operator>(const Delayed &o) const { return due != o.due ? due > o.due : order > o.order; }
};

[[noreturn]] void fail(const QString &message) {
    std::fprintf(stderr, "grq-sim: %s\n", message.toLocal8Bit().constData());
    std::exit(2);
}

bool isLoopback(quint32 address) {
    return (address >> 24) == 127;
}

bool isTestNetwork(quint32 address) {
    return (address >> 17) == (0xC6120000u >> 17); // 198.18.0.0/15
}

quint32 parseAddress(const QString &text) {
    QHostAddress address;
    bool ok = false;
    quint32 v4 = 0;
    if (address.setAddress(text))
        v4 = address.toIPv4Address(&ok);
    if (!ok)
        fail(QStringLiteral("not an IPv4 address: %1").arg(text));
    if (!isLoopback(v4) && !isTestNetwork(v4))
        fail(
            QStringLiteral("refusing %1: only 127.0.0.0/8 and 198.18.0.0/15 are served").arg(text));
    return v4;
}

QString addressText(quint32 address) {
    return QHostAddress(address).toString();
}

template <typename T> const T &pick(std::mt19937 &rng, const std::vector<T> &from) {
    return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(rng)];
}

// A plausible server of its own for every index and seed.
grquery::ServerStatus madeUpState(int index, unsigned seed) {
    std::mt19937 rng(seed * 7919u + static_cast<unsigned>(index));
    auto between = [&rng](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(rng);
    };
    static const std::vector<QString> maps = {
        QStringLiteral("Castle"),  QStringLiteral("Caves"), QStringLiteral("Church"),
        QStringLiteral("Bridge"),  QStringLiteral("Depot"), QStringLiteral("Farm"),
        QStringLiteral("Island"),  QStringLiteral("Mill"),  QStringLiteral("Pavilion"),
        QStringLiteral("Prison"),  QStringLiteral("Ruins"), QStringLiteral("Sawmill"),
        QStringLiteral("Village"), QStringLiteral("Swamp"), QStringLiteral("Train")};
    static const std::vector<QString> types = {QStringLiteral("Mission"),
                                               QStringLiteral("Firefight"),
                                               QStringLiteral("Recon"),
                                               QStringLiteral("Hamburger Hill"),
                                               QStringLiteral("Last Man Standing"),
                                               QStringLiteral("Sharpshooter"),
                                               QStringLiteral("Search And Rescue"),
                                               QStringLiteral("Domination"),
                                               QStringLiteral("Siege")};
    static const std::vector<QString> versions = {QStringLiteral("10.1010A"),
                                                  QStringLiteral("11.101A")};
    static const std::vector<QString> mods = {QString(), QStringLiteral("mp1"),
                                              QStringLiteral("mp2"), QStringLiteral("mp1 mp2")};
    static const std::vector<QString> callSigns = {
        QStringLiteral("Rook"),  QStringLiteral("Sniper"), QStringLiteral("Ghost"),
        QStringLiteral("Viper"), QStringLiteral("Echo"),   QStringLiteral("Nomad"),
        QStringLiteral("Kilo"),  QStringLiteral("Wolf"),   QStringLiteral("Shadow")};
    static const std::vector<int> lengthsMin = {0, 5, 10, 15, 20, 25, 30, 45, 60};

    grquery::ServerStatus s;
    s.dedicated = between(0, 1) == 1;
    s.name = QStringLiteral("Ghost Server %1").arg(index + 1);
    s.map = pick(rng, maps);
    s.mission = QStringLiteral("Mission %1").arg(between(1, 15), 2, 10, QLatin1Char('0'));
    s.gameType = pick(rng, types);
    s.maxPlayers = between(4, 36);
    const int people = between(0, s.maxPlayers - (s.dedicated ? 1 : 0));
    if (s.dedicated)
        s.players << s.name.left(15);
    for (int i = 0; i < people; ++i)
        s.players << pick(rng, callSigns) + QString::number(between(1, 99));
    s.version = pick(rng, versions);
    s.mods = pick(rng, mods);
    s.gameStateCode = between(0, 3) == 0 ? 3 : 4;
    s.length = pick(rng, lengthsMin) * 60;
    s.timeElapsed = s.gameStateCode == 3 ? 0 : between(0, s.length ? s.length : 3600);
    const int motdLength = between(0, 3) == 0 ? between(100, 250) : between(0, 40);
    s.motd = QStringLiteral("Welcome. No camping. ").repeated(13).left(motdLength);
    s.settings.password = between(0, 4) == 0;

    // The settings of the game, drawn after everything above so that a seed keeps giving the
    // same names, maps and players.
    grquery::GameSettings &g = s.settings;
    const int patchDraw = between(0, 9);
    g.patch = patchDraw == 0   ? grquery::Patch::V1_2
              : patchDraw == 1 ? grquery::Patch::V1_3
                               : grquery::Patch::V1_4;
    const bool coopType =
        s.gameType == u"Mission" || s.gameType == u"Firefight" || s.gameType == u"Recon";
    g.gameMode = coopType ? 2 : between(3, 4);
    g.respawnType = between(0, 3);
    g.respawnCount = *g.respawnType == 1 || *g.respawnType == 2 ? between(1, 10) : 0;
    g.respawnWaitShortest = between(0, 2) * 5;
    g.respawnWaitLongest = *g.respawnWaitShortest + between(0, 6) * 5;
    g.respawnInvulnerable = between(0, 2) * 3;
    g.debriefSeconds = between(1, 6) * 10;
    g.startTimer = between(0, 1) == 1;
    g.startTimerSeconds = *g.startTimer ? between(1, 12) * 15 : 0;
    g.startWaitSeconds = *g.startTimer ? between(0, *g.startTimerSeconds) : 0;
    g.observers = between(0, 2) != 0;
    g.iff = between(0, 2);
    g.threatIndicator = between(0, 1) == 1;
    static const std::vector<QString> restrictions = {
        QString(), QString(), QStringLiteral("No sniper rifles"),
        QStringLiteral("No grenade launchers, no demolitions"), QStringLiteral("Pistols only")};
    g.weaponRestrictions = pick(rng, restrictions);
    for (qsizetype i = 0; i < s.players.size(); ++i) {
        grquery::PlayerState player;
        if (s.dedicated && i == 0) {
            s.playerStates << player; // the host plays on no team
            continue;
        }
        const bool observing = *g.observers && between(0, 9) == 0;
        player.team = observing ? 5 : *g.gameMode == 4 ? between(1, 2) : 1;
        player.dead = !observing && s.gameStateCode == 4 && between(0, 3) == 0;
        s.playerStates << player;
    }
    return s;
}

// A code given as a number or by one of its names (the first name is code `first`).
void code(const QJsonObject &state, const char *key, std::optional<int> &into, int first,
          std::initializer_list<const char *> names) {
    const QJsonValue value = state.value(QLatin1String(key));
    if (value.isDouble()) {
        into = value.toInt();
        return;
    }
    int at = first;
    for (const char *name : names) {
        if (value.toString() == QLatin1String(name)) {
            into = at;
            return;
        }
        ++at;
    }
    if (!value.isUndefined())
        fail(QStringLiteral("bad %1 in the scenario").arg(QLatin1String(key)));
}

void applyState(grquery::ServerStatus &s, const QJsonObject &state) {
    auto text = [&state](const char *key, auto &into) {
        if (state.contains(QLatin1String(key)))
            into = state.value(QLatin1String(key)).toString();
    };
    auto flag = [&state](const char *key, auto &into) {
        if (state.contains(QLatin1String(key)))
            into = state.value(QLatin1String(key)).toBool();
    };
    auto number = [&state](const char *key, auto &into) {
        if (state.contains(QLatin1String(key)))
            into = state.value(QLatin1String(key)).toInt();
    };
    text("name", s.name);
    text("map", s.map);
    text("mission", s.mission);
    text("gameType", s.gameType);
    text("version", s.version);
    text("mods", s.mods);
    text("motd", s.motd);
    number("maxPlayers", s.maxPlayers);
    if (state.contains(QLatin1String("players"))) {
        s.players.clear();
        for (const QJsonValue &v : state.value(QLatin1String("players")).toArray())
            s.players << v.toString();
    }
    flag("dedicated", s.dedicated);
    number("timeElapsed", s.timeElapsed);
    number("length", s.length);
    std::optional<int> gameState;
    code(state, "gameState", gameState, 3, {"Joining", "Playing", "Debrief"});
    s.gameStateCode = gameState.value_or(s.gameStateCode);

    grquery::GameSettings &g = s.settings;
    flag("password", g.password);
    if (state.contains(QLatin1String("patch"))) {
        const QString patch = state.value(QLatin1String("patch")).toString();
        g.patch = grquery::Patch::Unknown;
        for (const auto known : {grquery::Patch::V1_2, grquery::Patch::V1_3, grquery::Patch::V1_4})
            if (grquery::patchNumber(known) == patch)
                g.patch = known;
    }
    code(state, "gameMode", g.gameMode, 2, {"coop", "solo", "team"});
    code(state, "respawnType", g.respawnType, 0, {"none", "individual", "team", "infinite"});
    code(state, "iff", g.iff, 0, {"none", "reticle", "names"});
    number("respawnCount", g.respawnCount);
    number("respawnWaitShortest", g.respawnWaitShortest);
    number("respawnWaitLongest", g.respawnWaitLongest);
    number("respawnInvulnerable", g.respawnInvulnerable);
    number("debriefTime", g.debriefSeconds);
    flag("startTimer", g.startTimer);
    number("startTimerSeconds", g.startTimerSeconds);
    number("startWait", g.startWaitSeconds);
    flag("observers", g.observers);
    flag("threatIndicator", g.threatIndicator);
    text("weaponRestrictions", g.weaponRestrictions);
    if (state.contains(QLatin1String("playerStates"))) {
        s.playerStates.clear();
        for (const QJsonValue &v : state.value(QLatin1String("playerStates")).toArray()) {
            const QJsonObject o = v.toObject();
            s.playerStates.append({.dead = o.value(QLatin1String("dead")).toBool(),
                                   .team = o.value(QLatin1String("team")).toInt(5)});
        }
    } else if (state.contains(QLatin1String("players"))) {
        // Made-up states would not match other names.
        s.playerStates.clear();
    }
}

Behaviour behaviourFrom(const QString &name) {
    if (name.isEmpty() || name == u"answer")
        return Behaviour::Answer;
    if (name == u"silent")
        return Behaviour::Silent;
    if (name == u"truncated")
        return Behaviour::Truncated;
    if (name == u"random")
        return Behaviour::Random;
    if (name == u"foreign")
        return Behaviour::Foreign;
    fail(QStringLiteral("unknown behaviour: %1").arg(name));
}

int openSocket(quint32 address, bool shared = false) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        fail(QStringLiteral("socket: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
    const int on = 1;
    if (shared)
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(grquery::port);
    local.sin_addr.s_addr = htonl(address);
    if (::bind(fd, reinterpret_cast<sockaddr *>(&local), sizeof local) != 0)
        fail(QStringLiteral("cannot serve %1: %2")
                 .arg(addressText(address), QString::fromLocal8Bit(std::strerror(errno))));
    return fd;
}

// Sends junk datagrams from `from` to `to` as fast as this process can for `ms`, in a child
// process that ends with the simulator.
void startFlood(quint32 from, const sockaddr_in &to, int ms) {
    const pid_t simulator = ::getpid();
    if (::fork() != 0)
        return;
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != simulator)
        ::_exit(0); // the simulator ended before it could tell
    // The servers' sockets stay the simulator's: a flood that outlives it for a moment must not
    // keep their addresses taken from the next simulator.
    ::close_range(3, ~0U, 0);
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(from);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr *>(&local), sizeof local) != 0)
        ::_exit(1);
    char junk[64];
    std::memset(junk, 0x5A, sizeof junk);
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        for (int i = 0; i < 64; ++i)
            ::sendto(fd, junk, sizeof junk, 0, reinterpret_cast<const sockaddr *>(&to), sizeof to);
    }
    ::_exit(0);
}

} // namespace

int main(int argc, char **argv) {
    int count = 0;
    QString first;
    unsigned seed = 1;
    QString scenarioFile;
    double dropPercent = 0;
    QString broadcast;
    const QString usage = QStringLiteral("usage: grq-sim --count N --first ADDR [--seed S] "
                                         "[--drop PERCENT] [--scenario FILE] [--broadcast ADDR]");
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const bool hasValue = i + 1 < argc;
        if (arg == u"--count" && hasValue)
            count = QString::fromLocal8Bit(argv[++i]).toInt();
        else if (arg == u"--first" && hasValue)
            first = QString::fromLocal8Bit(argv[++i]);
        else if (arg == u"--seed" && hasValue)
            seed = QString::fromLocal8Bit(argv[++i]).toUInt();
        else if (arg == u"--scenario" && hasValue)
            scenarioFile = QString::fromLocal8Bit(argv[++i]);
        else if (arg == u"--broadcast" && hasValue)
            broadcast = QString::fromLocal8Bit(argv[++i]);
        else if (arg == u"--drop" && hasValue) {
            bool ok = false;
            dropPercent = QString::fromLocal8Bit(argv[++i]).toDouble(&ok);
            if (!ok || !(dropPercent >= 0 && dropPercent <= 100))
                fail(usage);
        } else
            fail(usage);
    }
    if (count < 0 || (count > 0 && first.isEmpty()) || (count == 0 && scenarioFile.isEmpty()))
        fail(usage);

    // Thousands of servers need thousands of sockets.
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) == 0) {
        files.rlim_cur = files.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &files);
    }

    std::vector<Server> servers;
    QMap<quint32, size_t> byAddress;
    auto serverAt = [&](quint32 address) -> Server & {
        if (auto it = byAddress.constFind(address); it != byAddress.constEnd())
            return servers[*it];
        Server s;
        s.address = address;
        s.reply = grquery::encodeReply(madeUpState(static_cast<int>(servers.size()), seed));
        byAddress.insert(address, servers.size());
        servers.push_back(s);
        return servers.back();
    };
    if (count > 0) {
        const quint32 start = parseAddress(first);
        const quint32 last = start + static_cast<quint32>(count - 1);
        if (last < start || (isLoopback(start) ? !isLoopback(last) : !isTestNetwork(last)))
            fail(QStringLiteral("%1 servers from %2 leave the range served").arg(count).arg(first));
        for (int i = 0; i < count; ++i)
            serverAt(start + static_cast<quint32>(i));
    }
    if (!scenarioFile.isEmpty()) {
        QFile file(scenarioFile);
        if (!file.open(QIODevice::ReadOnly))
            fail(QStringLiteral("cannot read %1").arg(scenarioFile));
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
        if (error.error != QJsonParseError::NoError)
            fail(QStringLiteral("%1: %2").arg(scenarioFile, error.errorString()));
        for (const QJsonValue &v : doc.object().value(QLatin1String("servers")).toArray()) {
            const QJsonObject entry = v.toObject();
            const quint32 address = parseAddress(entry.value(QLatin1String("address")).toString());
            const bool known = byAddress.contains(address);
            Server &s = serverAt(address);
            grquery::ServerStatus state = madeUpState(
                static_cast<int>(known ? byAddress.value(address) : servers.size() - 1), seed);
            applyState(state, entry.value(QLatin1String("state")).toObject());
            s.reply = grquery::encodeReply(state);
            s.behaviour = behaviourFrom(entry.value(QLatin1String("behaviour")).toString());
            s.delayMs = entry.value(QLatin1String("delayMs")).toInt();
            s.truncateAt = entry.value(QLatin1String("truncateAt")).toInt(30);
            s.floodMs = entry.value(QLatin1String("floodMs")).toInt();
            s.lose = entry.value(QLatin1String("lose")).toInt();
            if (s.behaviour == Behaviour::Foreign || s.floodMs > 0)
                s.from = parseAddress(entry.value(QLatin1String("from")).toString());
        }
    }

    const int epoll = ::epoll_create1(EPOLL_CLOEXEC);
    QMap<quint32, int> sockets; // every bound address, served or only replied from
    for (size_t i = 0; i < servers.size(); ++i) {
        servers[i].fd = openSocket(servers[i].address);
        sockets.insert(servers[i].address, servers[i].fd);
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.u64 = i;
        ::epoll_ctl(epoll, EPOLL_CTL_ADD, servers[i].fd, &ev);
    }
    // Requests to the broadcast address reach every server of this simulator.
    constexpr quint64 broadcastEvent = ~quint64(0);
    int broadcastFd = -1;
    if (!broadcast.isEmpty()) {
        broadcastFd = openSocket(parseAddress(broadcast), true);
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.u64 = broadcastEvent;
        ::epoll_ctl(epoll, EPOLL_CTL_ADD, broadcastFd, &ev);
    }
    ::signal(SIGCHLD, SIG_IGN); // flooders end on their own and need no reaping
    for (Server &s : servers) {
        if (s.behaviour == Behaviour::Foreign && !sockets.contains(s.from))
            sockets.insert(s.from, openSocket(s.from));
    }

    for (const Server &s : servers)
        std::printf("%s\n", addressText(s.address).toLatin1().constData());
    std::printf("ready\n");
    std::fflush(stdout);

    // Real servers look only at the request's first ten bytes; other clients send other bytes
    // after them.
    const QByteArray request = grquery::request().left(10);
    std::mt19937 noise(seed);
    std::mt19937 losses(seed ^ 0x5eed1055u);
    std::bernoulli_distribution lost(dropPercent / 100.0);
    std::priority_queue<Delayed, std::vector<Delayed>, std::greater<>> later;
    quint64 received = 0;
    std::vector<epoll_event> events(1024);
    char buffer[2048];
    for (;;) {
        int timeoutMs = -1;
        if (!later.empty()) {
            const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
                later.top().due - std::chrono::steady_clock::now());
            timeoutMs = static_cast<int>(std::max<long long>(0, wait.count() + 1));
        }
        const int ready =
            ::epoll_wait(epoll, events.data(), static_cast<int>(events.size()), timeoutMs);
        const auto now = std::chrono::steady_clock::now();
        // One request reached server `s` (directly or by broadcast) from `peer`.
        auto answer = [&](Server &s, const sockaddr_in &peer) {
            if (s.lose > 0) {
                --s.lose;
                return;
            }
            if (dropPercent > 0 && lost(losses))
                return; // lost on the way
            if (s.floodMs > 0)
                startFlood(s.from, peer, s.floodMs);
            QByteArray reply;
            int fd = s.fd;
            switch (s.behaviour) {
            case Behaviour::Silent:
                return;
            case Behaviour::Answer:
                reply = s.reply;
                break;
            case Behaviour::Truncated:
                reply = s.reply.left(s.truncateAt);
                break;
            case Behaviour::Random: {
                reply.resize(std::uniform_int_distribution<int>(0, 600)(noise));
                for (char &c : reply)
                    c = static_cast<char>(noise());
                break;
            }
            case Behaviour::Foreign:
                reply = s.reply;
                fd = sockets.value(s.from);
                break;
            }
            later.push({now + std::chrono::milliseconds(s.delayMs), received++, fd, peer, reply});
        };
        for (int e = 0; e < ready; ++e) {
            const quint64 at = events[static_cast<size_t>(e)].data.u64;
            const int fd = at == broadcastEvent ? broadcastFd : servers[at].fd;
            for (;;) {
                sockaddr_in peer{};
                socklen_t peerLength = sizeof peer;
                const ssize_t n = ::recvfrom(fd, buffer, sizeof buffer, 0,
                                             reinterpret_cast<sockaddr *>(&peer), &peerLength);
                if (n < 0)
                    break;
                if (n < request.size() || std::memcmp(buffer, request.constData(),
                                                      static_cast<size_t>(request.size())) != 0)
                    continue; // a real server answers only its query
                if (at != broadcastEvent) {
                    answer(servers[at], peer);
                    continue;
                }
                for (Server &s : servers)
                    answer(s, peer);
            }
        }
        while (!later.empty() && later.top().due <= std::chrono::steady_clock::now()) {
            const Delayed &d = later.top();
            ::sendto(d.fd, d.bytes.constData(), static_cast<size_t>(d.bytes.size()), 0,
                     reinterpret_cast<const sockaddr *>(&d.to), sizeof d.to);
            later.pop();
        }
    }
}
