#include "app/basGlobals.h"
#include "app/clsGRQuorvel.h"
#include "app/frmMain.h"
#include "support/GameDir.h"
#include "support/ProgramRun.h"
#include "support/RealInput.h"
#include "support/ScriptedPrompter.h"
#include "support/Widgets.h"
#include "voice/clsRWServers.h"

#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

const QString notFoundTitle = QStringLiteral("Roger Wilco not found");

// A game directory whose preferences hold two channels and a Roger Wilco path, and a stand-in
// Wine runner that writes the arguments it was started with, one per line.
struct VoiceFixture {
    GameDir dir;
    QString rogerExe = dir.path(QStringLiteral("Roger.exe"));
    QString launched = QStringLiteral("runner-args.txt");

    explicit VoiceFixture(const QString &rogerPath = {}) {
        dir.write(QStringLiteral("Roger.exe"), "stand-in");
        dir.installRunner(launched);
        dir.write(QStringLiteral("GRQuorvelOptions.xml"),
                  "<options><ShowTips>False</ShowTips><PingOnStart>False</PingOnStart>"
                  "<RogerWilcoEXE>" +
                      (rogerPath.isNull() ? rogerExe : rogerPath).toUtf8() +
                      "</RogerWilcoEXE><RWServers>"
                      "<Server IP=\"clan.example:3782\" Name=\"Clan voice\" Password=\"\"/>"
                      "<Server IP=\"10.0.0.7\" Name=\"Scrim\" Password=\"open sesame\"/>"
                      "<Server IP=\"10.0.0.8\" Name=\"Third\" Password=\"pw3\"/>"
                      "</RWServers></options>");
    }
};

// Controls of the voice tab (the servers tab has controls of the same names).
template <typename T> T *child(frmMain &main, const char *name) {
    auto *pane = main.findChild<QWidget *>(QStringLiteral("ctlRWServers"));
    T *found = pane ? pane->findChild<T *>(QString::fromLatin1(name)) : nullptr;
    return found ? found : named<T>(main, name);
}

QTreeWidget *channelList(frmMain &main) {
    return child<QTreeWidget>(main, "lsvRWServers");
}

void selectRow(frmMain &main, int row) {
    QTreeWidget *list = channelList(main);
    const QRect rect = list->visualItemRect(list->topLevelItem(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

void showVoiceTab(frmMain &main) {
    child<QTabWidget>(main, "SSTab1")->setCurrentIndex(frmMain::TabRogerWilco);
}

} // namespace

TEST(RogerWilcoTab, AddingMovingTheSelectionAndRemovingKeepEveryOtherChannel) {
    VoiceFixture fx;
    ScriptedPrompter prompter;
    runProgramOn(fx.dir, prompter, [&](frmMain &main) {
        showVoiceTab(main);
        QTreeWidget *list = channelList(main);
        child<QLineEdit>(main, "txtAddName")->setText(QStringLiteral("Nameless"));
        // Rows after adding: an empty channel and one differing only in case or in blanks
        // around it add nothing.
        const std::pair<const char *, int> adds[] = {
            {"", 3}, {"CLAN.EXAMPLE:3782", 3}, {" voice.example ", 4}, {"voice.example", 4}};
        for (const auto &[ip, rows] : adds) {
            child<QLineEdit>(main, "txtAddIP")->setText(QString::fromLatin1(ip));
            child<QPushButton>(main, "cmdAddServer")->click();
            ASSERT_EQ(list->topLevelItemCount(), rows) << ip;
        }
        EXPECT_EQ(list->topLevelItem(3)->text(1), QStringLiteral("Nameless"));
        EXPECT_EQ(child<QLineEdit>(main, "txtAddIP")->text(), QStringLiteral("voice.example"));

        // Whatever moves the selection, the Edit page follows: Save keeps every channel.
        const auto channels = [] {
            QStringList rows;
            for (const clsRWServer &c : *gobjRoot->RWServers())
                rows << c.IP() + u'|' + c.Name() + u'|' + c.Password();
            return rows;
        };
        QStringList kept = channels();
        auto *save = child<QPushButton>(main, "cmdEditServer");
        const auto key = [list](Qt::Key k) { return [list, k] { QTest::keyClick(list, k); }; };
        const struct {
            const char *how;
            std::function<void()> move;
        } moves[] = {
            {"arrow down", key(Qt::Key_Down)},
            {"home", key(Qt::Key_Home)},
            {"end", key(Qt::Key_End)},
            {"right click",
             [&] {
                 realInput::click(list->viewport(),
                                  list->visualItemRect(list->topLevelItem(0)).center(),
                                  Qt::RightButton);
                 child<QMenu>(main, "mnuRWS")->close();
             }},
            {"click on empty space",
             [&] {
                 realInput::click(list->viewport(), QPoint(5, list->viewport()->height() - 3));
             }},
        };
        selectRow(main, 1);
        list->setFocus();
        for (const auto &m : moves) {
            SCOPED_TRACE(m.how);
            m.move();
            ASSERT_EQ(list->selectedItems().size(), 1);
            EXPECT_EQ(child<QLineEdit>(main, "txtEditIP")->text(),
                      list->selectedItems().constFirst()->text(0));
            save->click();
            EXPECT_EQ(channels(), kept);
        }

        // Removing, and saving whatever is selected then, leaves the others; the edit entries
        // stay as they were after the last row.
        while (list->topLevelItemCount() > 0) {
            selectRow(main, 0);
            child<QPushButton>(main, "cmdRemove")->click();
            save->click();
            kept.removeFirst();
            EXPECT_EQ(channels(), kept);
        }
        EXPECT_FALSE(child<QLineEdit>(main, "txtEditIP")->text().isEmpty());
    });
    EXPECT_FALSE(fx.dir.read(QStringLiteral("GRQuorvelOptions.xml")).contains("10.0.0.7"));
}

TEST(RogerWilcoTab, LaunchPassesChannelAndPasswordAndAnEditedChannelLaunchesTheNewOne) {
    VoiceFixture fx;
    ScriptedPrompter prompter;
    QStringList first, edited;
    runProgramOn(fx.dir, prompter, [&](frmMain &main) {
        showVoiceTab(main);
        selectRow(main, 1);
        EXPECT_EQ(child<QLineEdit>(main, "txtEditPassword")->text(), QStringLiteral("open sesame"));
        // A double click on empty space below the rows joins the selected channel.
        QWidget *space = channelList(main)->viewport();
        realInput::doubleClick(space, QPoint(5, space->height() - 3));
        first = fx.dir.waitForLines(fx.launched);
        QFile::remove(fx.dir.path(fx.launched));

        selectRow(main, 0);
        child<QLineEdit>(main, "txtEditIP")->setText(QStringLiteral(" newclan.example:3782  "));
        child<QPushButton>(main, "cmdEditServer")->click();
        EXPECT_EQ(channelList(main)->topLevelItem(0)->text(0),
                  QStringLiteral("newclan.example:3782"));
        // Leaving and coming back rebuilds the list from the collection.
        child<QTabWidget>(main, "SSTab1")->setCurrentIndex(frmMain::TabStats);
        showVoiceTab(main);
        ASSERT_EQ(channelList(main)->topLevelItemCount(), 3);
        selectRow(main, 0);
        child<QPushButton>(main, "cmdLaunch")->click();
        edited = fx.dir.waitForLines(fx.launched);
    });
    EXPECT_EQ(first, (QStringList{fx.rogerExe, QStringLiteral("/leave"), QStringLiteral("/join1"),
                                  QStringLiteral("10.0.0.7"), QStringLiteral("open sesame")}));
    EXPECT_EQ(edited, (QStringList{fx.rogerExe, QStringLiteral("/leave"), QStringLiteral("/join1"),
                                   QStringLiteral("newclan.example:3782")}));
    EXPECT_TRUE(
        fx.dir.read(QStringLiteral("GRQuorvelOptions.xml")).contains("newclan.example:3782"));
}

TEST(RogerWilcoTab, APathNamingNoFileAsksInsteadOfFailing) {
    VoiceFixture fx(QStringLiteral("/nonexistent/Roger.exe"));
    ScriptedPrompter prompter;
    prompter.expect(notFoundTitle, Answer::No, QStringLiteral("Go to options now?"));
    runProgramOn(fx.dir, prompter, [&](frmMain &main) {
        showVoiceTab(main);
        selectRow(main, 0);
        child<QPushButton>(main, "cmdLaunch")->click();
    });
    EXPECT_FALSE(QFile::exists(fx.dir.path(fx.launched)));
    EXPECT_TRUE(prompter.shown().at(0).is(Buttons::YesNo, Icon::Question));
}

TEST(RogerWilcoTab, SelectingTheTabAsksEveryTimeWhileNoPathIsSet) {
    VoiceFixture fx(QStringLiteral(""));
    ScriptedPrompter prompter;
    prompter.expect(notFoundTitle, Answer::No).expect(notFoundTitle, Answer::No);
    runProgramOn(fx.dir, prompter, [&](frmMain &main) {
        auto *tabs = child<QTabWidget>(main, "SSTab1");
        showVoiceTab(main);
        EXPECT_EQ(tabs->currentIndex(), frmMain::TabRogerWilco) << "No leaves the tab in front";
        EXPECT_EQ(channelList(main)->topLevelItemCount(), 3) << "the list is refreshed first";
        tabs->setCurrentIndex(frmMain::TabServers);
        showVoiceTab(main);
    });
}
