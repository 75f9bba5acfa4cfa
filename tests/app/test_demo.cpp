#include "app/clsGRQuorvel.h"
#include "app/frmMain.h"
#include "support/ProgramRun.h"
#include "support/Scoped.h"
#include "support/ScriptedPrompter.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#ifndef Q_OS_WIN
namespace {

QList<QByteArray> nulSeparated(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> items = file.readAll().split('\0');
    if (!items.isEmpty() && items.last().isEmpty())
        items.removeLast();
    return items;
}

// The lines of the file at `path` once it holds at least `count` of them (it is written while
// it is read).
QStringList linesOnceThere(const QString &path, qsizetype count) {
    QStringList lines;
    (void)QTest::qWaitFor(
        [&] {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
            return lines.size() >= count;
        },
        10000); // a file that never fills fails the caller's checks
    return lines;
}

} // namespace

// The demo started as ./scripts/run starts it, by a player who has Wine installed and chose it as
// the runner: Launch still runs the demo's stand-in game through the stand-in of Wine, and no Wine
// prefix (neither ~/.wine nor the one WINEPREFIX names) comes into being.
TEST(Demo, LaunchGoesThroughTheStandInAndLeavesWineAlone) {
    QTemporaryDir base;
    const QString home = base.filePath(QStringLiteral("home"));
    const QString prefix = base.filePath(QStringLiteral("prefix"));
    const QString wineRan = base.filePath(QStringLiteral("wine-ran"));
    QDir().mkpath(home);
    // A Wine that makes its prefix as the real one does.
    const QString wine = base.filePath(QStringLiteral("path/wine"));
    writeProgram(wine, "#!/bin/sh\nmkdir -p \"${WINEPREFIX:-$HOME/.wine}\"\ntouch '" +
                           wineRan.toUtf8() + "'\n");
    // Stands in for the built program: keeps the arguments and the environment it was given.
    const QString bin = base.filePath(QStringLiteral("bin"));
    writeProgram(bin + QStringLiteral("/grquorvel"),
                 "#!/bin/sh\nprintf '%s\\0' \"$@\" > \"$0.args\"\nenv -0 > \"$0.env\"\n");

    QProcess start;
    QProcessEnvironment startEnv = QProcessEnvironment::systemEnvironment();
    startEnv.insert(QStringLiteral("HOME"), home);
    startEnv.remove(QStringLiteral("XDG_DATA_HOME"));
    startEnv.insert(QStringLiteral("WINEPREFIX"), prefix);
    startEnv.insert(QStringLiteral("GRQUORVEL_WINE"), wine);
    startEnv.insert(QStringLiteral("PATH"),
                    QFileInfo(wine).absolutePath() + u':' + startEnv.value(QStringLiteral("PATH")));
    start.setProcessEnvironment(startEnv);
    start.setProcessChannelMode(QProcess::ForwardedChannels);
    start.start(QStringLiteral(QUORVEL_SOURCE_DIR "/scripts/start"),
                {bin, QString(), QStringLiteral("-noStartupPing")});
    ASSERT_TRUE(start.waitForFinished(30000));
    ASSERT_EQ(start.exitCode(), 0);

    const QString gameDir = home + QStringLiteral("/.local/share/grquorvel/demo-game");
    const QList<QByteArray> args = nulSeparated(bin + QStringLiteral("/grquorvel.args"));
    ASSERT_EQ(args, (QList<QByteArray>{"--game-dir", gameDir.toUtf8(), "-noStartupPing"}));
    QByteArray runner;
    for (const QByteArray &entry : nulSeparated(bin + QStringLiteral("/grquorvel.env")))
        if (entry.startsWith("GRQUORVEL_WINE="))
            runner = entry.mid(entry.indexOf('=') + 1);
    EXPECT_EQ(runner, QByteArray(QUORVEL_SOURCE_DIR "/scripts/demo-wine"));

    // The program itself, in the environment the script gave it.
    const ScopedEnv homeDir("HOME", home.toUtf8()), noData("XDG_DATA_HOME", {});
    const ScopedEnv winePrefix("WINEPREFIX", prefix.toUtf8()), runnerVar("GRQUORVEL_WINE", runner);
    const ScopedEnv path("PATH", startEnv.value(QStringLiteral("PATH")).toUtf8());
    StartupEnvironment env = startupOn(gameDir);
    env.executableDirectory = bin;
    ScriptedPrompter prompter;
    QStringList game;
    runProgramWith(env, prompter, [&](frmMain &main) {
        auto *servers = main.findChild<QWidget *>(QStringLiteral("ctlGRServers"));
        main.tabs()->setCurrentIndex(frmMain::TabServers);
        auto *list = servers->findChild<QAbstractItemView *>(QStringLiteral("lsvGRServers"));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(0, 1)).center());
        QTest::mouseClick(servers->findChild<QPushButton *>(QStringLiteral("cmdLaunch")),
                          Qt::LeftButton);
        game = linesOnceThere(gameDir + QStringLiteral("/launches.log"), 3);
        quitWith(main);
    });
    ASSERT_GE(game.size(), 3);
    EXPECT_EQ(game.mid(1, 2),
              (QStringList{QStringLiteral("-client"), QStringLiteral("127.0.0.11")}));
    const QStringList logged =
        linesOnceThere(home + QStringLiteral("/.local/share/grquorvel/demo-launches.log"), 2);
    EXPECT_TRUE(logged.contains(QStringLiteral("  ") + gameDir + QStringLiteral("/GhostRecon.exe")))
        << logged.join(u'\n').toStdString();
    EXPECT_FALSE(QFile::exists(wineRan));
    EXPECT_FALSE(QFile::exists(home + QStringLiteral("/.wine")));
    EXPECT_FALSE(QFile::exists(prefix));
}

// The stand-in of Wine starts only the demo's stand-in scripts; a real Windows program is noted
// but not handed to the shell.
TEST(Demo, StandInWineRunsOnlyStandInScripts) {
    QTemporaryDir base;
    const QString exe = base.filePath(QStringLiteral("Roger.exe"));
    const QString ran = base.filePath(QStringLiteral("ran"));
    writeProgram(exe, "MZ\ntouch '" + ran.toUtf8() + "'\n");
    QProcess wine;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), base.path());
    wine.setProcessEnvironment(env);
    wine.start(QStringLiteral(QUORVEL_SOURCE_DIR "/scripts/demo-wine"), {exe});
    ASSERT_TRUE(wine.waitForFinished(30000));
    EXPECT_NE(wine.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(ran));
    EXPECT_TRUE(QFile::exists(base.filePath(QStringLiteral("grquorvel/demo-launches.log"))));
}
#endif
