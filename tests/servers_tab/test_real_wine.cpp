#include "app/clsGRQuorvel.h"
#include "app/frmMain.h"
#include "support/ProgramRun.h"
#include "support/Scoped.h"
#include "support/ScriptedPrompter.h"

#include <QAbstractItemView>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#ifndef Q_OS_WIN
namespace {

void runWine(const QString &program, const QStringList &arguments, const QString &prefix) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("WINEPREFIX"), prefix);
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(120000)) << program.toStdString();
}

// The lines the stand-in wrote to C:\ of `prefix` once they are there.
QStringList standInLines(const QString &prefix, const QString &exe) {
    const QString path =
        prefix + QStringLiteral("/drive_c/standin-") + exe + QStringLiteral(".txt");
    if (!QTest::qWaitFor([&] { return QFile::exists(path); }, 60000))
        return {};
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)
               : QStringList();
}

} // namespace

// The game and Roger Wilco, found in a fresh Wine prefix and started through the real Wine by
// the real Launch buttons: every argument arrives whole, in the prefix that holds them.
TEST(RealWine, LaunchesTheGameAndRogerWilcoInTheirPrefixWithWholeArguments) {
    const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
    if (wine.isEmpty())
        GTEST_SKIP() << "wine is not installed";
#ifndef QUORVEL_WIN_STANDIN
    FAIL() << "the Windows stand-in was not built: x86_64-w64-mingw32-gcc is missing";
#else
    QTemporaryDir base;
    const QString prefix = base.filePath(QStringLiteral("prefix"));
    const QString home = base.filePath(QStringLiteral("home"));
    QDir().mkpath(home);
    // Quiet, quick Wine; nothing of the caller's own Wine is used or touched.
    const ScopedEnv debug("WINEDEBUG", "-all"), overrides("WINEDLLOVERRIDES", "mscoree,mshtml=");
    const ScopedEnv noPrefix("WINEPREFIX", {}), noRunner("GRQUORVEL_WINE", {});
    const ScopedEnv homeDir("HOME", home.toUtf8()), noDisplay("DISPLAY", {});

    QElapsedTimer clock;
    clock.start();
    runWine(QStandardPaths::findExecutable(QStringLiteral("wineboot")), {QStringLiteral("-i")},
            prefix);
    const qint64 bootMs = clock.elapsed();

    const QString programFiles = prefix + QStringLiteral("/drive_c/Program Files/");
    const QString gameDir = programFiles + QStringLiteral("Red Storm Entertainment/Ghost Recon/");
    const QString roger = programFiles + QStringLiteral("Roger Wilco/Roger.exe");
    QDir().mkpath(gameDir);
    QDir().mkpath(QFileInfo(roger).absolutePath());
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUORVEL_WIN_STANDIN),
                            gameDir + QStringLiteral("GhostRecon.exe")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUORVEL_WIN_STANDIN), roger));
    const QString password = QStringLiteral("se cret\"x");
    QFile prefs(gameDir + QStringLiteral("GRQuorvelOptions.xml"));
    ASSERT_TRUE(prefs.open(QIODevice::WriteOnly));
    prefs.write("<options><ShowTips>False</ShowTips><PingOnStart>False</PingOnStart>"
                "<RogerWilcoEXE>" +
                roger.toUtf8() +
                "</RogerWilcoEXE>"
                "<GRServers><Server IP=\"127.0.0.1\" Name=\"Home\" Password=\"se cret&quot;x\"/>"
                "</GRServers><RWServers>"
                "<Server IP=\"voice.example:3782\" Name=\"Clan\" Password=\"se cret&quot;x\"/>"
                "</RWServers></options>");
    prefs.close();

    // Installed elsewhere, the program finds the game in the prefix WINEPREFIX names.
    StartupEnvironment env;
    env.executableDirectory = base.filePath(QStringLiteral("bin"));
    env.commandLine = {QStringLiteral("-noStartupPing")};
    env.gameSearch.home = home;
    env.gameSearch.winePrefix = prefix;
    ScriptedPrompter prompter;
    QStringList game, voice;
    qint64 gameMs = 0, voiceMs = 0;
    runProgramWith(env, prompter, [&](frmMain &main) {
        auto *servers = main.findChild<QWidget *>(QStringLiteral("ctlGRServers"));
        main.tabs()->setCurrentIndex(frmMain::TabServers);
        auto *rows = servers->findChild<QAbstractItemView *>(QStringLiteral("lsvGRServers"));
        QTest::mouseClick(rows->viewport(), Qt::LeftButton, {},
                          rows->visualRect(rows->model()->index(0, 1)).center());
        clock.restart();
        QTest::mouseClick(servers->findChild<QPushButton *>(QStringLiteral("cmdLaunch")),
                          Qt::LeftButton);
        game = standInLines(prefix, QStringLiteral("GhostRecon.exe"));
        gameMs = clock.elapsed();

        auto *channels = main.findChild<QWidget *>(QStringLiteral("ctlRWServers"));
        main.tabs()->setCurrentIndex(frmMain::TabRogerWilco);
        auto *list = channels->findChild<QTreeWidget *>(QStringLiteral("lsvRWServers"));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->topLevelItem(0)).center());
        clock.restart();
        QTest::mouseClick(channels->findChild<QPushButton *>(QStringLiteral("cmdLaunch")),
                          Qt::LeftButton);
        voice = standInLines(prefix, QStringLiteral("Roger.exe"));
        voiceMs = clock.elapsed();
    });
    runWine(QStandardPaths::findExecutable(QStringLiteral("wineserver")), {QStringLiteral("-k")},
            prefix);

    EXPECT_EQ(game, (QStringList{QStringLiteral("-client"), QStringLiteral("127.0.0.1"),
                                 QStringLiteral("-password"), password}));
    EXPECT_EQ(voice, (QStringList{QStringLiteral("/leave"), QStringLiteral("/join1"),
                                  QStringLiteral("voice.example:3782"), password}));
    // The prefix of the player's home was never made: the game's own prefix was used.
    EXPECT_FALSE(QFileInfo::exists(home + QStringLiteral("/.wine")));
    RecordProperty("wineboot_ms", static_cast<int>(bootMs));
    std::printf("[          ] wineboot %lld ms, game %lld ms, Roger Wilco %lld ms\n",
                static_cast<long long>(bootMs), static_cast<long long>(gameMs),
                static_cast<long long>(voiceMs));
#endif
}
#endif
