#include "app/GameChooser.h"
#include "app/clsGRQuorvel.h"
#include "app/frmMain.h"
#include "support/GameDir.h"
#include "support/ProgramRun.h"
#include "support/ScriptedPrompter.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A player's home with Ghost Recon installed where a Wine prefix or a Steam library keeps it.
struct Home {
    QTemporaryDir dir;
    QString wineGame() const {
        return dir.path() +
               QStringLiteral("/.wine/drive_c/Program Files/Red Storm Entertainment/Ghost Recon/");
    }
    QString steamGame() const {
        return dir.path() + QStringLiteral("/.local/share/Steam/steamapps/common/Ghost Recon/");
    }
    // The game (the stand-in) and a quiet preferences file in `gameDir`.
    void install(const QString &gameDir) const {
        QDir().mkpath(gameDir);
        QFile::copy(GameDir::demoFile(QStringLiteral("GhostRecon.exe")),
                    gameDir + QStringLiteral("GhostRecon.exe"));
        QFile prefs(gameDir + QStringLiteral("GRQuorvelOptions.xml"));
        EXPECT_TRUE(prefs.open(QIODevice::WriteOnly));
        prefs.write(
            "<options><ShowTips>False</ShowTips><PingOnStart>False</PingOnStart></options>");
    }
};

QString asRoot(const QString &dir) {
    return clsGRQuorvel::asRootDirectory(dir);
}

void pickRow(GameChooser &chooser, int row) {
    auto *list = chooser.findChild<QListWidget *>(QStringLiteral("games"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

} // namespace

TEST(FindingTheGame, OneFoundIsUsedSeveralAreChosenFromNoneIsNotFound) {
    enum Place { None = 0, Wine = 1, Steam = 2, Beside = 4 };
    enum Answer { Pick2nd, CancelByKey };
    const struct {
        const char *what;
        int installed;       // Places
        Answer answer;       // to the question which of two
        bool gameDirWithout; // --game-dir naming a directory without the game
        Place runsOn;        // the game used; None: the program ends at start-up
    } cases[] = {
        {"in a Wine prefix", Wine, Pick2nd, false, Wine},
        {"in a Steam library", Steam, Pick2nd, false, Steam},
        {"two, the second chosen", Wine | Steam, Pick2nd, false, Steam},
        {"two, the choice cancelled", Wine | Steam, CancelByKey, false, None},
        {"none", None, Pick2nd, false, None},
        {"beside the program", Wine | Steam | Beside, Pick2nd, false, Beside},
        {"--game-dir without it", Wine, Pick2nd, true, None},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Home home;
        if (c.installed & Wine)
            home.install(home.wineGame());
        if (c.installed & Steam)
            home.install(home.steamGame());
        QTemporaryDir programDir;
        const QString beside = programDir.path() + u'/';
        if (c.installed & Beside)
            home.install(beside);

        StartupEnvironment env;
        env.executableDirectory = programDir.path();
        env.commandLine = {QStringLiteral("-noStartupPing")};
        env.gameSearch.home = home.dir.path();
        if (c.gameDirWithout)
            env.gameDirectory = programDir.path();

        ScriptedPrompter prompter;
        if (c.runsOn == None && c.answer != CancelByKey)
            prompter.expect(QStringLiteral("Ghost Recon Not Found"), ::Answer::Ok,
                            QStringLiteral("Please place the 'GRQuorvel.exe'"));
        RunSettings settings;
        QStringList offered;
        settings.chooseGame = [&](GameChooser &chooser) {
            auto *list = chooser.findChild<QListWidget *>(QStringLiteral("games"));
            for (int r = 0; r < list->count(); ++r)
                offered << list->item(r)->text();
            if (c.answer == Pick2nd) {
                pickRow(chooser, 1);
                QPushButton *ok =
                    chooser.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
                QTest::mouseClick(ok, Qt::LeftButton);
            } else {
                QTest::keyClick(list, Qt::Key_Escape);
            }
        };
        QString root;
        const int status = runProgramWith(
            env, prompter, [&](frmMain &main) { root = main.rootObject()->RootDirectory(); },
            settings);

        const QString expected = c.runsOn == Wine     ? asRoot(home.wineGame())
                                 : c.runsOn == Steam  ? asRoot(home.steamGame())
                                 : c.runsOn == Beside ? asRoot(beside)
                                                      : QString();
        EXPECT_EQ(root, expected);
        EXPECT_EQ(status, expected.isEmpty() ? 1 : 0);
        if (c.installed == (Wine | Steam))
            EXPECT_EQ(offered, (QStringList{QDir::cleanPath(home.wineGame()),
                                            QDir::cleanPath(home.steamGame())}));
        else
            EXPECT_TRUE(offered.isEmpty());
        // The program ran in the game's directory as if it lived there; an ended start-up
        // wrote nothing anywhere.
        for (const QString &dir : {home.wineGame(), home.steamGame(), beside})
            EXPECT_EQ(QFileInfo::exists(dir + QStringLiteral("Stats")), asRoot(dir) == expected)
                << dir.toStdString();
    }
}
