#include "app/GameChooser.h"
#include "app/HistoryCommand.h"
#include "app/basGlobals.h"
#include "app/clsGRQuorvel.h"
#include "app/frmMain.h"
#include "support/GameDir.h"
#include "support/ProgramRun.h"
#include "support/Scoped.h"
#include "support/ScriptedPrompter.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

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
    // The game (the stand-in, named `exe`) and a quiet preferences file in `gameDir`.
    void install(const QString &gameDir, const QString &exe) const {
        QDir().mkpath(gameDir);
        QFile::copy(GameDir::demoFile(QStringLiteral("GhostRecon.exe")), gameDir + exe);
        QFile prefs(gameDir + QStringLiteral("GRQuorvelOptions.xml"));
        EXPECT_TRUE(prefs.open(QIODevice::WriteOnly));
        prefs.write(
            "<options><ShowTips>False</ShowTips><PingOnStart>False</PingOnStart></options>");
    }
};

QString asRoot(const QString &dir) {
    return clsGRQuorvel::asRootDirectory(dir);
}

} // namespace

// The window and the history command look for the game the same way; the window asks which of
// several to use, the command cannot and says where it found them.
TEST(FindingTheGame, OneFoundIsUsedSeveralAreChosenFromNoneIsNotFound) {
    enum Place { None = 0, Wine = 1, Steam = 2, Beside = 4 };
    enum Answer { Pick2nd, CancelByKey };
    enum GameDirArgument { NoArgument, ProgramDir, Missing };
    const struct {
        const char *what;
        int installed;           // Places
        Answer answer;           // to the question which of two
        GameDirArgument gameDir; // --game-dir: the program's directory, or one that is not there
        Place runsOn;            // the game used; None: the program ends at start-up
        const char *exe = "GhostRecon.exe"; // the name the game's file has
    } cases[] = {
        {"in a Wine prefix", Wine, Pick2nd, NoArgument, Wine},
        {"in a Wine prefix, named in capitals", Wine, Pick2nd, NoArgument, Wine, "GHOSTRECON.EXE"},
        {"in a Steam library", Steam, Pick2nd, NoArgument, Steam},
        {"two, the second chosen", Wine | Steam, Pick2nd, NoArgument, Steam},
        {"two, the choice cancelled", Wine | Steam, CancelByKey, NoArgument, None},
        {"none", None, Pick2nd, NoArgument, None},
        {"beside the program", Wine | Steam | Beside, Pick2nd, NoArgument, Beside},
        {"beside the program, in lower case", Wine | Beside, Pick2nd, NoArgument, Beside,
         "ghostrecon.exe"},
        {"--game-dir holding it in lower case", Wine | Beside, Pick2nd, ProgramDir, Beside,
         "ghostrecon.exe"},
        {"--game-dir without it", Wine, Pick2nd, ProgramDir, None},
        {"--game-dir that is not there", Wine, Pick2nd, Missing, None},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Home home;
        const QString exe = QString::fromLatin1(c.exe);
        if (c.installed & Wine)
            home.install(home.wineGame(), exe);
        if (c.installed & Steam)
            home.install(home.steamGame(), exe);
        QTemporaryDir programDir;
        const QString beside = programDir.path() + u'/';
        if (c.installed & Beside)
            home.install(beside, exe);
        const QString missing = programDir.path() + QStringLiteral("/not there");
        const QString given = c.gameDir == ProgramDir ? programDir.path()
                              : c.gameDir == Missing  ? missing
                                                      : QString();

        StartupEnvironment env = startupOn({});
        env.executableDirectory = programDir.path();
        env.gameSearch.home = home.dir.path();

        const QString expected = c.runsOn == Wine     ? asRoot(home.wineGame())
                                 : c.runsOn == Steam  ? asRoot(home.steamGame())
                                 : c.runsOn == Beside ? asRoot(beside)
                                                      : QString();
        const bool several = (c.installed & (Wine | Steam)) == (Wine | Steam) &&
                             !(c.installed & Beside) && given.isEmpty();
        // Where a line on the standard error says the game is not.
        const QString notThere =
            QDir::toNativeSeparators(given.isEmpty() ? programDir.path() : given);

        // First the history command, before anything is written.
        {
            QStringList args;
            if (!given.isEmpty())
                args << QStringLiteral("--game-dir") << given;
            args << QStringLiteral("127.0.0.1");
            QString inText, outText, errText;
            QTextStream in(&inText), out(&outText), err(&errText);
            const int status = runHistoryCommand(args, env, in, out, err);
            if (several) {
                EXPECT_EQ(status, 2);
                EXPECT_TRUE(errText.contains(QDir::cleanPath(home.wineGame())) &&
                            errText.contains(QDir::cleanPath(home.steamGame())))
                    << errText.toStdString();
            } else if (!expected.isEmpty()) {
                EXPECT_EQ(status, 0) << errText.toStdString();
                EXPECT_TRUE(errText.contains(QStringLiteral("no history yet at ") + expected))
                    << errText.toStdString();
            } else {
                EXPECT_EQ(status, 2);
                EXPECT_TRUE(outText.isEmpty() && errText.contains(notThere))
                    << errText.toStdString();
            }
        }

        env.gameDirectory = given;
        ScriptedPrompter prompter;
        const bool notFound = c.runsOn == None && c.answer != CancelByKey;
        if (notFound)
            prompter.expect(QStringLiteral("Ghost Recon Not Found"), ::Answer::Ok,
                            QStringLiteral("Please place the 'GRQuorvel.exe'"));
        RunSettings settings;
        QStringList offered;
        settings.chooseGame = [&](GameChooser &chooser) {
            auto *list = chooser.findChild<QListWidget *>(QStringLiteral("games"));
            for (int r = 0; r < list->count(); ++r)
                offered << list->item(r)->text();
            if (c.answer == Pick2nd) {
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                  list->visualItemRect(list->item(1)).center());
                QPushButton *ok =
                    chooser.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
                QTest::mouseClick(ok, Qt::LeftButton);
            } else {
                QTest::keyClick(list, Qt::Key_Escape);
            }
        };
        QString root;
        CapturedStderr standardError;
        const int status = runProgramWith(
            env, prompter, [&](frmMain &main) { root = main.rootObject()->RootDirectory(); },
            settings);
        const QString said = standardError.text();

        EXPECT_EQ(root, expected);
        // A directory given on the command line that holds no game is a mistake of usage.
        EXPECT_EQ(status, !expected.isEmpty() ? 0 : given.isEmpty() ? 1 : 2);
        // The box is also a line on the standard error for whoever started it from a shell.
        EXPECT_EQ(said.contains(notThere), notFound) << said.toStdString();
        if (notFound) {
            EXPECT_EQ(prompter.lastShown().icon, Icon::Critical);
        }
        EXPECT_EQ(gobjRoot, nullptr);
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
        EXPECT_FALSE(QFileInfo::exists(missing));
        if (!(c.installed & Beside)) {
            EXPECT_TRUE(QDir(programDir.path())
                            .isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        }
    }
}
