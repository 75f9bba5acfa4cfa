#include "app/Translation.h"
#include "app/clsGRQuorvel.h"
#include "app/frmMain.h"
#include "app/frmTips.h"
#include "platform/ProcessLauncher.h"
#include "servers/GameSettingsText.h"
#include "servers_tab/ctlGRServers.h"
#include "servers_tab/frmServerInfo.h"
#include "support/GameDir.h"
#include "support/ProgramRun.h"
#include "support/ScriptedPrompter.h"
#include "widgets/MessageBoxPrompter.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {
// The texts a window shows in its labels, group boxes and buttons, in no particular order.
QStringList shownTexts(const QWidget &window) {
    QStringList texts{window.windowTitle()};
    for (const QLabel *label : window.findChildren<QLabel *>())
        texts << label->text();
    for (const QGroupBox *box : window.findChildren<QGroupBox *>())
        texts << box->title();
    for (const QAbstractButton *button : window.findChildren<QAbstractButton *>())
        texts << button->text();
    return texts;
}

void expectAmong(const QStringList &shown, std::initializer_list<const char *> texts) {
    for (const char *text : texts)
        EXPECT_TRUE(shown.contains(QString::fromUtf8(text)))
            << text << " in " << shown.join(u'|').toStdString();
}

grquery::GameSettings teamGame() {
    grquery::GameSettings settings;
    settings.gameMode = 4;
    settings.respawnType = 1;
    settings.respawnCount = 3;
    settings.iff = 1;
    settings.threatIndicator = true;
    return settings;
}
} // namespace

// Under a German locale the windows, menus, tabs, the panes' lists and the boxes the panes show
// speak German; what the game servers send stays as it came.
TEST(Translation, WindowsPanesAndTheirBoxesSpeakGermanUnderAGermanLocale) {
    ASSERT_TRUE(installTranslation(QLocale(QLocale::German, QLocale::Germany)));
    GameDir dir;
    ScriptedPrompter prompter;
    prompter.expect(QStringLiteral("Roger Wilco nicht gefunden"), Answer::No,
                    QStringLiteral("Jetzt die Optionen öffnen?"));
    prompter.expect(QStringLiteral("Ungültige IP-Adresse"), Answer::Ok,
                    QStringLiteral("Bitte geben Sie eine gültige IP-Adresse ein"));
    QStringList menus, fileMenu, tabs, tipTexts, options, serverColumns, channelColumns, serverInfo;
    QString quit, tip;
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

        QTimer::singleShot(0, [&] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                options = shownTexts(*modal);
                modal->close();
            }
        });
        main.findChild<QAction *>(QStringLiteral("mnuFileOptions"))->trigger();
        QApplication::processEvents();
        const QAbstractItemModel *servers = main.serversPane()->listView()->model();
        for (int i = 0; i < servers->columnCount(); ++i)
            serverColumns << servers->headerData(i, Qt::Horizontal).toString();
        const auto *channels = main.findChild<QTreeWidget *>(QStringLiteral("lsvRWServers"));
        for (int i = 0; i < channels->columnCount(); ++i)
            channelColumns << channels->headerItem()->text(i);
        main.findChild<QAction *>(QStringLiteral("mnuHelpTips"))->trigger();
        tipTexts = shownTexts(*main.tipsWindow());
        tip = main.tipsWindow()->findChild<QLabel *>(QStringLiteral("lblTip"))->text();
        main.tipsWindow()->close();
        frmServerInfo info(*main.rootObject(), &main);
        serverInfo = shownTexts(info);
        main.tabs()->setCurrentIndex(frmMain::TabServers);
        QTest::mouseClick(
            main.serversPane()->findChild<QPushButton *>(QStringLiteral("cmdAddServer")),
            Qt::LeftButton);
        quitWith(main);
    });
    removeTranslation();
    EXPECT_EQ(menus, (QStringList{QStringLiteral("Datei"), QStringLiteral("Bearbeiten"),
                                  QStringLiteral("Hilfe")}));
    EXPECT_EQ(fileMenu,
              (QStringList{QStringLiteral("Optionen..."), QStringLiteral("Freunde..."),
                           QStringLiteral("LAN-Server suchen..."),
                           QStringLiteral("Server importieren..."),
                           QStringLiteral("Server exportieren..."), QStringLiteral("Beenden")}));
    EXPECT_EQ(tabs, (QStringList{QStringLiteral("Statistik"), QStringLiteral("Ghost-Recon-Server"),
                                 QStringLiteral("Ghost-Recon-Spieloptionen"),
                                 QStringLiteral("Roger-Wilco-Server")}));
    EXPECT_EQ(quit, QStringLiteral("Beenden"));
    expectAmong(tipTexts, {"Tipp des Tages...", "Schon gewusst?", "Nächster Tipp"});
    platform::DetachedProcessLauncher launcher;
    clsGRQuorvel english({}, prompter, launcher);
    english.CreateTips();
    EXPECT_FALSE(tip.isEmpty());
    for (int i = 1; i <= english.Tips().Count(); ++i)
        EXPECT_NE(tip, *english.Tips().Item(i));
    expectAmong(options, {"Optionen...", "Allgemein", "Tipps beim Start zeigen",
                          "Server beim Start anpingen", "Roger-Wilco-Pfad", "Durchsuchen..."});
    EXPECT_EQ(serverColumns.mid(0, 4),
              (QStringList{QStringLiteral("IP"), QStringLiteral("Name"),
                           QStringLiteral("Letztes PW"), QStringLiteral("Ping")}));
    expectAmong(serverColumns, {"Spieler", "Restzeit"});
    EXPECT_EQ(channelColumns, (QStringList{QStringLiteral("Kanal"), QStringLiteral("Name"),
                                           QStringLiteral("Letztes PW")}));
    expectAmong(serverInfo, {"Serverinfo", "Nachricht", "Karte:", "Spielinfo",
                             "Waffenbeschränkungen:", "Aktualisieren", "Schließen"});
    EXPECT_EQ(prompter.shown().size(), 2u);
}

// Words the program builds into sentences follow the language's rules: English writes them in
// lower case after a colon, German nouns keep their capital. Error captions shared by every
// pane are looked up when shown, not when the program starts.
TEST(Translation, BuiltSentencesAndSharedCaptionsFollowTheLanguage) {
    EXPECT_EQ(GameSettingsText::summary(teamGame()),
              QStringLiteral("Team, respawns: individual (3), IFF: reticle, threat indicator: on"));
    EXPECT_EQ(QString(titles::error), QStringLiteral("An Error has occured"));
    ASSERT_TRUE(installTranslation(QLocale(QLocale::German, QLocale::Switzerland)));
    const QString german = GameSettingsText::summary(teamGame());
    const QString errorTitle = titles::error;
    const QString duration = GameSettingsText::duration(90);
    removeTranslation();
    EXPECT_EQ(german, QStringLiteral("Team, Respawns: Einzeln (3), IFF: Fadenkreuz, "
                                     "Bedrohungsanzeige: An"));
    EXPECT_EQ(errorTitle, QStringLiteral("Ein Fehler ist aufgetreten"));
    EXPECT_EQ(duration, QStringLiteral("1 min 30 s"));
    EXPECT_EQ(QString(titles::error), QStringLiteral("An Error has occured"));
}

// A real message box's buttons come from Qt's own translation: German where the system has it
// (Debian's qt6-translations-l10n), the English texts otherwise.
TEST(Translation, MessageBoxButtonsSpeakTheLanguageToo) {
    const auto buttonsOfABox = [] {
        QStringList texts;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            for (QAbstractButton *button : box->buttons())
                texts << button->text();
            box->button(QMessageBox::No)->click();
        });
        const Answer answer = MessageBoxPrompter().ask(QStringLiteral("?"), titles::program,
                                                       Buttons::YesNo, Icon::Question);
        EXPECT_EQ(answer, Answer::No);
        texts.sort();
        return texts;
    };
    ASSERT_TRUE(installTranslation(QLocale(QLocale::German, QLocale::Germany)));
    const QStringList german = buttonsOfABox();
    removeTranslation();
    EXPECT_EQ(german, (QStringList{QStringLiteral("&Ja"), QStringLiteral("&Nein")}));
    EXPECT_EQ(buttonsOfABox(), (QStringList{QStringLiteral("&No"), QStringLiteral("&Yes")}));
}

// The C and English locales load nothing, and a German translation loaded before is taken out:
// the texts are the program's own.
TEST(Translation, CAndEnglishKeepTheProgramsOwnTexts) {
    for (const QLocale &locale : {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedKingdom),
                                  QLocale(QLocale::Swahili)}) {
        SCOPED_TRACE(locale.name().toStdString());
        ASSERT_TRUE(installTranslation(QLocale(QLocale::German, QLocale::Austria)));
        EXPECT_EQ(QCoreApplication::translate("frmMain", "File"), QStringLiteral("Datei"));
        EXPECT_FALSE(installTranslation(locale));
        EXPECT_EQ(QCoreApplication::translate("frmMain", "File"), QStringLiteral("File"));
    }
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
