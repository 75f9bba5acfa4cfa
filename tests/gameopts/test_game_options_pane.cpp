#include "app/basGlobals.h"
#include "app/clsGRQuorvel.h"
#include "app/frmMain.h"
#include "common/TextRules.h"
#include "gameopts/clsOptionsXML.h"
#include "options/clsOptions.h"
#include "options/ctlGameOptions.h"
#include "options/frmOptions.h"
#include "support/GameDir.h"
#include "support/ProgramRun.h"
#include "support/ScriptedCommonDialog.h"
#include "support/ScriptedPrompter.h"
#include "support/Widgets.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

namespace {

const QString optionsXml = QStringLiteral("options.xml");

struct Running {
    frmMain &main;
    ctlGameOptions &pane;
    ScriptedCommonDialog &dialog;
    clsGRQuorvel &root;
};

// Runs the whole program on `dir` with the game options tab in front and acts on it.
void runOnPane(const GameDir &dir, ScriptedPrompter &prompter,
               const std::function<void(Running &)> &act) {
    auto *dialog = new ScriptedCommonDialog;
    runProgramOn(dir, prompter,
                 [&](frmMain &main) {
                     main.tabs()->setCurrentIndex(frmMain::TabGameOptions);
                     if (auto *pane = named<ctlGameOptions>(main, "ctlGameOptions")) {
                         Running running{main, *pane, *dialog, *main.rootObject()};
                         act(running);
                     }
                 },
                 {.commonDialog = dialog});
}

void clickLabel(QWidget &parent, const char *name) {
    QTest::mouseClick(named<QLabel>(parent, name), Qt::LeftButton);
}

void typeName(QComboBox *combo, const QString &text) {
    combo->clearEditText();
    QTest::keyClicks(combo, text);
    QTest::keyClick(combo, Qt::Key_Return);
}

// The game's file as it is on disk now.
std::unique_ptr<clsOptionsXML> gameFile(const GameDir &dir) {
    auto xml = std::make_unique<clsOptionsXML>(dir.root());
    xml->Load();
    return xml;
}

QString playerName(const GameDir &dir) {
    return gameFile(dir)->PlayerName();
}

} // namespace

TEST(GameOptionsPane, PlayerNameIsCutCommittedAndKeptOnceInTheList) {
    GameDir dir;
    ScriptedPrompter prompter;
    runOnPane(dir, prompter, [&](Running &r) {
        auto *combo = named<QComboBox>(r.pane, "cboPlayerName");
        EXPECT_EQ(combo->currentText(), QStringLiteral("Gh0st Lead")); // read when shown

        typeName(combo, QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
        EXPECT_EQ(combo->currentText(), QStringLiteral("ABCDEFGHIJKLMNO"));
        EXPECT_EQ(playerName(dir), QStringLiteral("ABCDEFGHIJKLMNO"));

        typeName(combo, QStringLiteral("Sniper"));
        typeName(combo, QStringLiteral("SNIPER"));
        EXPECT_EQ(playerName(dir), QStringLiteral("SNIPER"));
        EXPECT_EQ(combo->currentText(), QStringLiteral("SNIPER"));
        ASSERT_EQ(combo->count(), 2);
        EXPECT_EQ(combo->itemText(0), QStringLiteral("ABCDEFGHIJKLMNO"));
        EXPECT_EQ(combo->itemText(1), QStringLiteral("Sniper"));

        // Picking from the list writes the picked name.
        combo->setCurrentIndex(0);
        emit combo->activated(0);
        EXPECT_EQ(playerName(dir), QStringLiteral("ABCDEFGHIJKLMNO"));

        // Removing the shown name empties the box and the game's name.
        QTest::mouseClick(named<QPushButton>(r.pane, "cmdRemovePlayerName"), Qt::LeftButton);
        EXPECT_TRUE(combo->currentText().isEmpty() && playerName(dir).isEmpty());
        const auto &names = r.root.Options()->PlayerNames();
        EXPECT_TRUE(combo->count() == 1 && names.Count() == 1 &&
                    names.Item(QStringLiteral("sniper")));

        // Showing the tab again reads the file again.
        r.main.tabs()->setCurrentIndex(frmMain::TabServers);
        const auto elsewhere = gameFile(dir);
        elsewhere->setPlayerName(QStringLiteral("Changed"));
        elsewhere->setShowFrameRate(true);
        elsewhere->Save();
        r.main.tabs()->setCurrentIndex(frmMain::TabGameOptions);
        EXPECT_EQ(combo->currentText(), QStringLiteral("Changed"));
        EXPECT_TRUE(named<QCheckBox>(r.pane, "chkShowFrameRate")->isChecked());
    });
}

TEST(GameOptionsPane, EditsChangeOnlyTheirBytesOfTheGamesFile) {
    // A Latin-1 file with a non-ASCII name, other colours and the bodies hidden; then the same
    // without a declaration, as the game writes it in the Windows code page.
    for (const bool declared : {true, false}) {
        SCOPED_TRACE(declared);
        GameDir dir;
        QByteArray original = dir.read(optionsXml);
        original.replace("Gh0st Lead", declared ? "R\xE9n\xE9" : "R\xE9n\xE9 \x80");
        original.replace("<ShowDeadBodies>TRUE<", "<ShowDeadBodies>FALSE<");
        original.replace("<ReticuleColorR>255<", "<ReticuleColorR>1<");
        original.replace("<ReticuleColorG>214<", "<ReticuleColorG>2<");
        original.replace("<ReticuleColorB>17<", "<ReticuleColorB>3<");
        if (!declared)
            original.remove(0, original.indexOf('\n') + 1);
        dir.write(optionsXml, original);
        ScriptedPrompter prompter;
        runOnPane(dir, prompter, [&](Running &r) {
            auto *combo = named<QComboBox>(r.pane, "cboPlayerName");
            EXPECT_EQ(combo->currentText(), declared ? QStringLiteral("R\u00E9n\u00E9")
                                                     : QStringLiteral("R\u00E9n\u00E9 \u20AC"));
            auto *bodies = named<QCheckBox>(r.pane, "chkShowDeadBodies");
            EXPECT_FALSE(bodies->isChecked());

            // Committing the unchanged name, by Return or by the focus leaving, leaves every
            // byte.
            QTest::keyClick(combo, Qt::Key_Return);
            EXPECT_EQ(dir.read(optionsXml), original);
            QApplication::setActiveWindow(&r.main);
            combo->setFocus();
            bodies->setFocus();
            EXPECT_EQ(dir.read(optionsXml), original);

            // A cancelled colour choice writes the colour shown, which is the file's.
            clickLabel(r.pane, "lblSetRetColor");
            EXPECT_EQ(r.dialog.offered, std::vector<QColor>{QColor(1, 2, 3)});
            EXPECT_EQ(dir.read(optionsXml), original);

            // The label beside the cleared box ticks it and writes TRUE.
            clickLabel(r.pane, "lblShowDeadBodies");
            EXPECT_TRUE(bodies->isChecked());
            QByteArray expected = original;
            expected.replace("<ShowDeadBodies>FALSE<", "<ShowDeadBodies>TRUE<");
            EXPECT_EQ(dir.read(optionsXml), expected);
            QTest::mouseClick(named<QCheckBox>(r.pane, "chkShowFrameRate"), Qt::LeftButton);
            expected.replace("<ShowFrameRate>FALSE<", "<ShowFrameRate>TRUE<");
            EXPECT_EQ(dir.read(optionsXml), expected);
            EXPECT_FALSE(dir.read(optionsXml).contains("\xEF\xBF\xBD"));

            // A chosen IFF colour, then the stock colours for both.
            r.dialog.colors.push_back(QColor(10, 20, 30));
            clickLabel(r.pane, "lblSetIFFRetColor");
            EXPECT_EQ(gameFile(dir)->IFFRetColor(), packColor(10, 20, 30));
            QTest::mouseClick(named<QPushButton>(r.pane, "cmdLoadDefaultRet"), Qt::LeftButton);
            expected.replace("<ReticuleColorR>1<", "<ReticuleColorR>255<");
            expected.replace("<ReticuleColorG>2<", "<ReticuleColorG>214<");
            expected.replace("<ReticuleColorB>3<", "<ReticuleColorB>17<");
            EXPECT_EQ(dir.read(optionsXml), expected);

            // A new name goes in the file's own code page.
            combo->setEditText(QStringLiteral("J\u00F6rg\u20AC"));
            QTest::keyClick(combo, Qt::Key_Return);
            expected.replace(declared ? "R\xE9n\xE9<" : "R\xE9n\xE9 \x80<",
                             declared ? "J\xF6rg&#8364;<" : "J\xF6rg\x80<");
            EXPECT_EQ(dir.read(optionsXml), expected);
        });
    }
}

TEST(GameOptionsPane, UnwritableFileIsReportedLeftAsItWasAndShownAsItIs) {
    GameDir dir;
    QByteArray original = dir.read(optionsXml);
    original.replace("<ReticuleColorR>255<", "<ReticuleColorR>1<");
    dir.write(optionsXml, original);
    ScriptedPrompter prompter;
    prompter.expect(QStringLiteral("An Error has occured"), Answer::Retry,
                    QDir::toNativeSeparators(dir.path(optionsXml)) + QStringLiteral(": "));
    prompter.expect(QStringLiteral("An Error has occured"), Answer::Cancel);
    prompter.expect(QStringLiteral("An Error has occured"), Answer::Cancel, optionsXml);
    runOnPane(dir, prompter, [&](Running &r) {
        auto *bodies = named<QCheckBox>(r.pane, "chkShowDeadBodies");
        const bool shown = bodies->isChecked();
        dir.whileReadOnly([&] {
            named<QPushButton>(r.pane, "cmdLoadDefaultRet")->click();
            clickLabel(r.pane, "lblShowDeadBodies");
        });
        // After Cancel the swatch and the switch show what the file holds, not what failed.
        EXPECT_EQ(named<QFrame>(r.pane, "shpRetColor")->palette().color(QPalette::Window),
                  QColor(1, 214, 17));
        EXPECT_EQ(bodies->isChecked(), shown);
    });
    EXPECT_EQ(dir.read(optionsXml), original);
}

TEST(GameOptionsPane, ANameTypedWithoutEnterIsKeptOnEveryWayOut) {
    const std::pair<const char *, std::function<void(frmMain &)>> ways[] = {
        {"File > Quit", [](frmMain &main) { named<QAction>(main, "mnuFileQuit")->trigger(); }},
        {"close box", [](frmMain &main) { main.close(); }},
        {"SIGTERM",
         [](frmMain &) {
             ::raise(SIGTERM);
             EXPECT_TRUE(QTest::qWaitFor([] { return !gobjRoot; }, 5000));
         }},
    };
    for (const auto &[how, way] : ways) {
        SCOPED_TRACE(how);
        GameDir dir;
        ScriptedPrompter prompter;
        runOnPane(dir, prompter, [&](Running &r) {
            auto *combo = named<QComboBox>(r.pane, "cboPlayerName");
            combo->clearEditText();
            QTest::keyClicks(combo, QStringLiteral("Unsaved"));
            way(r.main);
        });
        EXPECT_TRUE(dir.read(QStringLiteral("GRQuorvelOptions.xml"))
                        .contains("<PlayerName Name=\"Unsaved\"/>"));
        EXPECT_EQ(playerName(dir), QStringLiteral("Unsaved"));
    }
}

TEST(OptionsDialog, SwitchesAndPathGoStraightIntoThePreferences) {
    GameDir dir;
    const QString exe = dir.path(QStringLiteral("Roger.exe"));
    dir.write(QStringLiteral("Roger.exe"), "stand-in");
    ScriptedPrompter prompter;
    runOnPane(dir, prompter, [&](Running &r) {
        clsOptions &options = *r.root.Options();
        options.setRogerWilcoEXE({});
        const bool ping = options.PingGRServersOnStartup(), tips = options.ShowTips();
        frmOptions dialog(r.root, &r.dialog, &r.main);
        dialog.show();
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Options..."));
        auto *path = named<QLabel>(dialog, "lblRWPath");
        EXPECT_EQ(path->text(),
                  QStringLiteral("Use the browse button to locate your Roger Wilco EXE"));
        EXPECT_EQ(named<QCheckBox>(dialog, "chkPingServers")->isChecked(), ping);

        clickLabel(dialog, "lblPingServers");
        EXPECT_EQ(options.PingGRServersOnStartup(), !ping);
        clickLabel(dialog, "lblPingServers");
        EXPECT_EQ(options.PingGRServersOnStartup(), ping);
        QTest::mouseClick(named<QCheckBox>(dialog, "chkShowTips"), Qt::LeftButton);
        EXPECT_EQ(options.ShowTips(), !tips);

        // A cancelled chooser keeps the placeholder; a chosen file shows at once.
        QTest::mouseClick(named<QPushButton>(dialog, "cmdBrowseRW"), Qt::LeftButton);
        EXPECT_EQ(options.RogerWilcoEXE(), QString());
        r.dialog.file = exe;
        QTest::mouseClick(named<QPushButton>(dialog, "cmdBrowseRW"), Qt::LeftButton);
        EXPECT_EQ(options.RogerWilcoEXE(), exe);
        EXPECT_EQ(path->text(), exe);
        ASSERT_EQ(r.dialog.requests.size(), 2u);
        EXPECT_EQ(r.dialog.requests[0].title, QStringLiteral("Locate Roger Wilco exe.."));
        EXPECT_EQ(r.dialog.requests[0].fileName, QStringLiteral("Roger.exe"));
        EXPECT_TRUE(r.dialog.requests[0].mustExist);

        QTest::mouseClick(named<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(options.ShowTips(), !tips);
    });
}

#ifndef Q_OS_WIN
TEST(OptionsDialog, RogerWilcoChooserStartsInTheWinePrefix) {
    QTemporaryDir prefix;
    const QString driveC = prefix.path() + QStringLiteral("/drive_c");
    const QString game = driveC + QStringLiteral("/Games/Ghost Recon/");
    // The deepest of these that exists.
    for (const QString &made : {QString(), QStringLiteral("/Program Files"),
                                QStringLiteral("/Program Files/Roger Wilco")}) {
        QDir().mkpath(made.isEmpty() ? game : driveC + made);
        EXPECT_EQ(frmOptions::rogerWilcoStartDirectory(game),
                  made.isEmpty() ? made : driveC + made);
    }
    EXPECT_EQ(frmOptions::rogerWilcoStartDirectory(prefix.path() + QStringLiteral("/elsewhere/")),
              QString());
}
#endif
