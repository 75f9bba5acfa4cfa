#include "platform/GameFinder.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace platform {

namespace {

const QString gameExe = QStringLiteral("GhostRecon.exe");

// A directory searched, with how many directory levels below it are looked into.
struct GameSearchCandidate {
    QString directory;
    int depth = 0;
};

// An existing directory as one canonical path, or empty text.
QString existingDirectory(const QString &path) {
    if (path.isEmpty())
        return {};
    const QFileInfo info(path);
    return info.isDir() ? info.canonicalFilePath() : QString();
}

QStringList subdirectories(const QString &dir, const QStringList &nameFilters = {}) {
    QDir d(dir);
    d.setFilter(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks | QDir::Readable |
                QDir::Hidden);
    d.setSorting(QDir::Name | QDir::IgnoreCase);
    if (!nameFilters.isEmpty())
        d.setNameFilters(nameFilters);
    QStringList paths;
    for (const QString &name : d.entryList())
        paths << d.filePath(name);
    return paths;
}

class CandidateList {
public:
    CandidateList(const GameSearchLimits &limits, const QDeadlineTimer &deadline)
        : m_limits(limits)
        , m_deadline(deadline) {}

    void add(const QString &path, int depth) {
        const QString dir = existingDirectory(path);
        if (dir.isEmpty() || m_seen.contains(dir))
            return;
        m_seen.insert(dir);
        m_list.append({dir, depth});
    }
    // A Wine prefix: its Windows programs directories, and the one GOG installs into.
    void addPrefix(const QString &prefix) {
        const QString driveC = existingDirectory(prefix + QStringLiteral("/drive_c"));
        if (driveC.isEmpty())
            return;
        QDir d(driveC);
        d.setFilter(QDir::Dirs | QDir::NoDotAndDotDot);
        d.setNameFilters({QStringLiteral("Program Files*")});
        d.setSorting(QDir::Name | QDir::IgnoreCase);
        for (const QString &name : d.entryList())
            add(d.filePath(name), m_limits.programFilesDepth);
        add(driveC + QStringLiteral("/GOG Games"), 1);
    }
    // A launcher's directory of prefixes; `otherDepth` for entries that hold no prefix (a game
    // copied there as it stands), negative to leave them out.
    void addPrefixes(const QString &parent, int otherDepth) {
        for (const QString &dir : subdirectories(parent)) {
            if (m_deadline.hasExpired())
                return;
            if (QFileInfo(dir + QStringLiteral("/drive_c")).isDir())
                addPrefix(dir);
            else if (otherDepth >= 0)
                add(dir, otherDepth);
        }
    }
    void addSteamRoot(const QString &root) {
        if (existingDirectory(root).isEmpty())
            return;
        QStringList libraries{root};
        for (const QString &index : {QStringLiteral("/steamapps/libraryfolders.vdf"),
                                     QStringLiteral("/config/libraryfolders.vdf")}) {
            QFile file(root + index);
            if (file.open(QIODevice::ReadOnly))
                libraries += steamLibraryPaths(file.read(1 << 20));
        }
        for (const QString &library : libraries)
            add(library + QStringLiteral("/steamapps/common"), 1);
    }

    QList<GameSearchCandidate> take() { return std::move(m_list); }

private:
    const GameSearchLimits &m_limits;
    const QDeadlineTimer &m_deadline;
    QSet<QString> m_seen;
    QList<GameSearchCandidate> m_list;
};

// Looks for the game in `dir` and, `depth` levels down, below it.
void search(const QString &dir, int depth, const QDeadlineTimer &deadline, QSet<QString> &seen,
            QStringList &found) {
    if (deadline.hasExpired())
        return;
    // As the start-up check wants it: an ordinary file, not hidden.
    if (const QString exe = gameExecutableIn(dir); !exe.isEmpty()) {
        const QString path = QFileInfo(exe).canonicalFilePath();
        if (!seen.contains(path)) {
            seen.insert(path);
            found << path;
        }
    }
    if (depth <= 0)
        return;
    for (const QString &sub : subdirectories(dir))
        search(sub, depth - 1, deadline, seen, found);
}

} // namespace

QString gameExecutableIn(const QString &directory) {
    if (directory.isEmpty())
        return {};
    const QDir dir(directory);
    const QFileInfo usual(dir.filePath(gameExe));
    if (usual.isFile() && !usual.isHidden())
        return usual.filePath();
    // Hidden files are left out of the listing.
    const QFileInfoList files = dir.entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo &file : files) {
        if (file.fileName().compare(gameExe, Qt::CaseInsensitive) == 0 && file.isFile())
            return file.filePath();
    }
    return {};
}

GameSearchPlaces GameSearchPlaces::fromEnvironment() {
    GameSearchPlaces places;
    places.home = QDir::homePath();
    places.winePrefix = qEnvironmentVariable("WINEPREFIX");
    places.xdgDataHome = qEnvironmentVariable("XDG_DATA_HOME");
    return places;
}

static QList<GameSearchCandidate> candidates(const GameSearchPlaces &places,
                                             const GameSearchLimits &limits,
                                             const QDeadlineTimer &deadline) {
    CandidateList list(limits, deadline);
    const QString &home = places.home;
    if (!places.winePrefix.isEmpty())
        list.addPrefix(places.winePrefix);
    if (home.isEmpty())
        return list.take();
    const QString data =
        places.xdgDataHome.isEmpty() ? home + QStringLiteral("/.local/share") : places.xdgDataHome;
    list.addPrefix(home + QStringLiteral("/.wine"));
    // Lutris installs each game in a prefix of its own under ~/Games.
    list.addPrefixes(home + QStringLiteral("/Games"), 2);
    // Bottles, as a package and as a Flatpak.
    list.addPrefixes(data + QStringLiteral("/bottles/bottles"), -1);
    list.addPrefixes(home + QStringLiteral("/.var/app/com.usebottles.bottles/data/bottles/bottles"),
                     -1);
    // Steam, as a package (its usual links and directories) and as a Flatpak.
    list.addSteamRoot(home + QStringLiteral("/.steam/steam"));
    list.addSteamRoot(data + QStringLiteral("/Steam"));
    list.addSteamRoot(home + QStringLiteral("/.steam/debian-installation"));
    list.addSteamRoot(home +
                      QStringLiteral("/.var/app/com.valvesoftware.Steam/.local/share/Steam"));
    return list.take();
}

QStringList findGames(const GameSearchPlaces &places, const GameSearchLimits &limits) {
    const QDeadlineTimer deadline(limits.budget);
    QSet<QString> seen;
    QStringList found;
    for (const GameSearchCandidate &candidate : candidates(places, limits, deadline))
        search(candidate.directory, candidate.depth, deadline, seen, found);
    return found;
}

QStringList steamLibraryPaths(const QByteArray &libraryFolders) {
    // Today's index: "path" "DIR" inside each numbered entry; older ones: "1" "DIR".
    static const QRegularExpression entry(
        QStringLiteral(R"re("(?:path|\d+)"[ \t]+"((?:[^"\\\r\n]|\\.)*)")re"));
    QStringList paths;
    auto it = entry.globalMatch(QString::fromUtf8(libraryFolders));
    while (it.hasNext()) {
        QString path = it.next().captured(1);
        path.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
        if (path.startsWith(u'/') && !paths.contains(path))
            paths << path;
    }
    return paths;
}

} // namespace platform
