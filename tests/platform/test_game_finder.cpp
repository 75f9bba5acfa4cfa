#include "platform/GameFinder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A throw-away home directory with games and other files placed in it.
struct FakeHome {
    QTemporaryDir dir;
    QString path(const QString &relative) const {
        return relative.startsWith(u'/') ? relative : dir.path() + u'/' + relative;
    }
    // Creates the file (and the directories above it), here or at an absolute path; gives its path.
    QString place(const QString &relative, const QByteArray &bytes = "MZ") const {
        const QString file = path(relative);
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << relative.toStdString();
        f.write(bytes);
        return QFileInfo(file).canonicalFilePath();
    }
    void link(const QString &target, const QString &relative) const {
        QDir().mkpath(QFileInfo(path(relative)).absolutePath());
        EXPECT_TRUE(QFile::link(target, path(relative))) << relative.toStdString();
    }
    platform::GameSearchPlaces places() const {
        platform::GameSearchPlaces places;
        places.home = dir.path();
        return places;
    }
};

const QString gr = QStringLiteral("/GhostRecon.exe");

} // namespace

TEST(GameFinder, FindsEveryUsualPlaceOnceInOrderAndNothingElse) {
    FakeHome home;
    QTemporaryDir elsewhere; // a second Steam library and a prefix named by WINEPREFIX
    const QString library = elsewhere.path() + QStringLiteral("/SteamLibrary");
    const QString prefix = elsewhere.path() + QStringLiteral("/prefix");
    const QStringList expected = {
        home.place(prefix + QStringLiteral("/drive_c/Program Files/Ubi Soft/Ghost Recon") + gr),
        // Installs from CD leave the name in other letter cases.
        home.place(QStringLiteral(".wine/drive_c/Program Files/Lower/ghostrecon.exe")),
        home.place(QStringLiteral(".wine/drive_c/Program Files/Red Storm Entertainment/Ghost "
                                  "Recon") +
                   gr),
        home.place(QStringLiteral(".wine/drive_c/Program Files (x86)/GR") + gr),
        home.place(QStringLiteral(".wine/drive_c/GOG Games/Ghost Recon") + gr),
        home.place(QStringLiteral("Games/copied/Ghost Recon") + gr),
        home.place(QStringLiteral("Games/ghost-recon/drive_c/Program Files/Ubisoft/Red Storm/"
                                  "Ghost Recon") +
                   gr),
        home.place(QStringLiteral(".local/share/bottles/bottles/Games/drive_c/Program Files/GR") +
                   gr),
        home.place(QStringLiteral(".local/share/Steam/steamapps/common/Ghost Recon") + gr),
        home.place(library + QStringLiteral("/steamapps/common/Tom Clancy's Ghost Recon") + gr),
    };
    home.place(QStringLiteral(".local/share/Steam/steamapps/libraryfolders.vdf"),
               "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" +
                   home.path(QStringLiteral(".local/share/Steam")).toUtf8() +
                   "\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"15300\"\t\t\"123\"\n\t\t}\n\t}\n"
                   "\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" +
                   library.toUtf8() + "\"\n\t}\n}\n");
    // The same installs through the links Steam and Wine make: each is found once.
    home.link(home.path(QStringLiteral(".local/share/Steam")), QStringLiteral(".steam/steam"));
    // Not games, or out of bounds: too deep, a directory of that name, outside Program Files,
    // behind the prefix's link to the whole disk, and a link loop.
    home.place(QStringLiteral(".wine/drive_c/Program Files/a/b/c/d") + gr);
    QDir().mkpath(home.path(QStringLiteral(".wine/drive_c/Program Files/Dir") + gr));
    home.place(QStringLiteral(".wine/drive_c/users/me/Desktop/GR") + gr);
    home.link(QStringLiteral("/"), QStringLiteral(".wine/dosdevices/z:"));
    home.link(home.path(QStringLiteral(".wine/drive_c")),
              QStringLiteral(".wine/drive_c/Program Files/loop"));
    home.place(QStringLiteral(".local/share/Steam/steamapps/common/Deeper/bin") + gr);

    platform::GameSearchPlaces places = home.places();
    places.winePrefix = prefix;
    EXPECT_EQ(platform::findGames(places), expected);

    // Named twice (WINEPREFIX is ~/.wine): searched once. No time left: nothing is searched.
    places.winePrefix = home.path(QStringLiteral(".wine"));
    EXPECT_EQ(platform::findGames(places).count(expected[1]), 1);
    EXPECT_EQ(platform::findGames(places, {.budget = std::chrono::milliseconds(0)}), QStringList());
    // A home with none of these places, and none at all.
    FakeHome empty;
    EXPECT_EQ(platform::findGames(empty.places()), QStringList());
    EXPECT_EQ(platform::findGames({}), QStringList());
}

TEST(GameFinder, SteamLibraryIndexesOfEitherFormat) {
    const QByteArray today = "\"libraryfolders\"\n{\n\"0\"\n{\n\"path\"\t\t\"/home/p/.steam\"\n"
                             "\"label\"\t\t\"\"\n}\n\"1\" { \"path\" \"/mnt/My \\\\Games\" }\n}\n";
    EXPECT_EQ(platform::steamLibraryPaths(today),
              (QStringList{QStringLiteral("/home/p/.steam"), QStringLiteral("/mnt/My \\Games")}));
    const QByteArray older = "\"LibraryFolders\"\n{\n\"TimeNextStatsReport\"\t\"1\"\n"
                             "\"1\"\t\t\"/media/games\"\n\"2\" \"relative\"\n}\n";
    EXPECT_EQ(platform::steamLibraryPaths(older), QStringList{QStringLiteral("/media/games")});
    EXPECT_EQ(platform::steamLibraryPaths("\"path\" \"/never closed"), QStringList());
}
