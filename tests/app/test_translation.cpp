#include "app/Translation.h"
#include "app/frmMain.h"
#include "support/GameDir.h"
#include "support/ProgramRun.h"
#include "support/ScriptedPrompter.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {
QString mainWindowText(const char *text) {
    return QCoreApplication::translate("frmMain", text);
}
} // namespace

// Under a German locale the main window's menus, tab titles and its message box are German.
TEST(Translation, MainWindowSpeaksGermanUnderAGermanLocale) {
    ASSERT_TRUE(installTranslation(QLocale(QLocale::German, QLocale::Germany)));
    GameDir dir;
    ScriptedPrompter prompter;
    prompter.expect(QStringLiteral("Roger Wilco nicht gefunden"), Answer::No,
                    QStringLiteral("Jetzt die Optionen öffnen?"));
    QStringList menus, fileMenu, tabs;
    QString quit;
    runProgramOn(dir, prompter, [&](frmMain &main) {
        for (QAction *menu : main.menuBar()->actions())
            if (menu->isVisible())
                menus << menu->text();
        for (QAction *action : main.menuBar()->actions().value(0)->menu()->actions())
            if (!action->isSeparator())
                fileMenu << action->text();
        for (int i = 0; i < main.tabs()->count(); ++i)
            tabs << main.tabs()->tabText(i);
        quit = main.findChild<QPushButton *>(QStringLiteral("cmdQuit"))->text();
        QTabBar *bar = main.tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(frmMain::TabRogerWilco).center());
        quitWith(main);
    });
    removeTranslation();
    EXPECT_EQ(menus, (QStringList{QStringLiteral("Datei"), QStringLiteral("Bearbeiten"),
                                  QStringLiteral("Hilfe")}));
    EXPECT_EQ(fileMenu,
              (QStringList{QStringLiteral("Optionen..."), QStringLiteral("Freunde..."),
                           QStringLiteral("LAN-Server suchen..."), QStringLiteral("Beenden")}));
    EXPECT_EQ(tabs, (QStringList{QStringLiteral("Statistik"), QStringLiteral("Ghost-Recon-Server"),
                                 QStringLiteral("Ghost-Recon-Spieloptionen"),
                                 QStringLiteral("Roger-Wilco-Server")}));
    EXPECT_EQ(quit, QStringLiteral("Beenden"));
    EXPECT_EQ(prompter.shown().size(), 1u);
}

// The C and English locales load nothing, and a German translation loaded before is taken out:
// the texts are the program's own.
TEST(Translation, CAndEnglishKeepTheProgramsOwnTexts) {
    ASSERT_TRUE(installTranslation(QLocale(QLocale::German, QLocale::Austria)));
    EXPECT_EQ(mainWindowText("File"), QStringLiteral("Datei"));
    EXPECT_FALSE(installTranslation(QLocale::c()));
    EXPECT_EQ(mainWindowText("File"), QStringLiteral("File"));
    EXPECT_FALSE(installTranslation(QLocale(QLocale::English, QLocale::UnitedKingdom)));
    EXPECT_EQ(mainWindowText("Roger Wilco not found"), QStringLiteral("Roger Wilco not found"));
    EXPECT_FALSE(installTranslation(QLocale(QLocale::Swahili)));
    EXPECT_EQ(mainWindowText("Help"), QStringLiteral("Help"));
}

// Every text of the sources has its finished German entry, and no entry is left over: Qt's
// lupdate finds nothing to change in the translation file.
TEST(Translation, GermanIsCompleteAndCurrent) {
#ifndef QUORVEL_LUPDATE
    FAIL() << "lupdate is missing (scripts/install-deps installs it)";
#else
    const QString committed = QStringLiteral(QUORVEL_SOURCE_DIR "/i18n/grquorvel_de.ts");
    QTemporaryDir work;
    const QString copy = work.filePath(QStringLiteral("grquorvel_de.ts"));
    ASSERT_TRUE(QFile::copy(committed, copy));
    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::ForwardedChannels);
    lupdate.start(QStringLiteral(QUORVEL_LUPDATE),
                  {QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
                   QStringLiteral("-no-obsolete"), QStringLiteral(QUORVEL_SOURCE_DIR "/src"),
                   QStringLiteral("-ts"), copy});
    ASSERT_TRUE(lupdate.waitForFinished(60000));
    ASSERT_EQ(lupdate.exitCode(), 0);
    QFile before(committed), after(copy);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly) && after.open(QIODevice::ReadOnly));
    const QByteArray updated = after.readAll();
    EXPECT_FALSE(updated.contains("type=\"unfinished\""));
    EXPECT_EQ(updated, before.readAll()) << "run the target quorvel_lupdate and translate";
#endif
}
