#include "options/clsOptions.h"
#include "platform/DesktopOpener.h"
#include "platform/ProcessLauncher.h"
#include "stats/ctlQuorvel.h"
#include "support/Errors.h"
#include "support/Scoped.h"
#include "support/ScriptedCommonDialog.h"
#include "support/ScriptedPrompter.h"
#include "support/Widgets.h"
#include "widgets/CommonDialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class RecordingOpener : public platform::DesktopOpener {
public:
    void openDirectory(const QString &path) override {
        opened << path;
        if (fail)
            throw QuorvelError(QStringLiteral("no file manager"));
    }
    void openPage(const QString &path) override { opened << path; }
    QStringList opened;
    bool fail = false;
};

class StatsTab : public ::testing::Test {
protected:
    void SetUp() override {
        stats = QDir::toNativeSeparators(m_dir.path() + QStringLiteral("/Stats"));
        ASSERT_TRUE(QDir().mkdir(stats));
        options.setStatsPath(stats);
        options.setRecordStats(true);
        pane = std::make_unique<ctlQuorvel>(ctlQuorvel::Services{
            .options = [this] { return &options; },
            .prompter = &prompter,
            .commonDialog = &picker,
            .menu = &menu,
            .deleteAction = deleteAction,
            .refreshAction = menu.addAction(QStringLiteral("Refresh")),
        });
        pane->setOpener(&opener);
        list = named<QListWidget>(*pane, "lsvStatsDirectory");
        label = named<QLabel>(*pane, "lblStatsDirectory");
    }
    void TearDown() override { menu.hide(); }

    void touch(const QString &name, const QString &in = {}) const {
        QFile file((in.isEmpty() ? stats : in) + QDir::separator() + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QStringList entries() const {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
        return texts;
    }
    // Selects the row `name` and gives the point at its centre.
    QPoint select(const QString &name) const {
        list->setCurrentItem(list->findItems(name, Qt::MatchExactly).value(0));
        QCoreApplication::processEvents(); // the list lays its items out late
        return list->visualItemRect(list->currentItem()).center();
    }

    QTemporaryDir m_dir;
    QString stats;
    clsOptions options;
    ScriptedPrompter prompter;
    ScriptedCommonDialog picker;
    RecordingOpener opener;
    QMenu menu;
    QAction *deleteAction = menu.addAction(QStringLiteral("Delete..."));
    std::unique_ptr<ctlQuorvel> pane;
    QListWidget *list = nullptr;
    QLabel *label = nullptr;
};

} // namespace

TEST_F(StatsTab, ShowingThePaneListsEveryHtmFileAndThePreferences) {
    for (const char *name : {"2002_8_19_14_5_9_stats.htm", "notes.htm", "readme.txt", ".hidden.htm",
                             "2002_8_19_14_5_9_stats.htm.a1b2c3"})
        touch(QString::fromLatin1(name));
    QDir(stats).mkdir(QStringLiteral("folder.htm"));
    options.setRecordStats(false);
    pane->show();
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("notes.htm"),
                                      QStringLiteral("2002_8_19_14_5_9_stats.htm")}));
    EXPECT_EQ(label->text(), stats);
    EXPECT_FALSE(named<QCheckBox>(*pane, "chkRecordStats")->isChecked());

    // A copy made meanwhile shows up when the pane is shown again.
    touch(QStringLiteral("later.htm"));
    pane->hide();
    pane->show();
    EXPECT_EQ(entries().size(), 3);
    // And when its window becomes active again (back from the game); the selection stays.
    select(QStringLiteral("later.htm"));
    touch(QStringLiteral("latest.htm"));
    QWidget game;
    game.show();
    game.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&game));
    pane->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(pane.get()));
    EXPECT_EQ(entries().size(), 4);
    EXPECT_EQ(list->currentItem()->text(), QStringLiteral("later.htm"));

    // The label beside the box switches recording at once.
    auto *recordLabel = named<QLabel>(*pane, "lblRecordStats");
    QTest::mouseClick(recordLabel, Qt::LeftButton);
    EXPECT_TRUE(options.RecordStats());
    QTest::mouseClick(recordLabel, Qt::LeftButton);
    EXPECT_FALSE(options.RecordStats());
}

// The last mission first: the recorder's pages by the time in their names (whenever the file
// itself was written), other pages by when they were written.
TEST_F(StatsTab, TheNewestPageIsListedFirst) {
    const auto page = [&](const char *name, const QDateTime &written) {
        touch(QString::fromLatin1(name));
        QFile file(stats + QDir::separator() + QString::fromLatin1(name));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(written, QFileDevice::FileModificationTime));
    };
    const QDateTime copiedLater(QDate(2030, 1, 1), QTime(12, 0));
    page("2026_12_7_21_5_0_stats.htm", copiedLater);
    page("2026_12_10_9_0_0_stats.htm", copiedLater);
    page("notes.htm", QDateTime(QDate(2026, 12, 8), QTime(12, 0)));
    page("2027_1_2_0_0_1_stats.htm", QDateTime(QDate(2020, 1, 1), QTime(0, 0)));
    page("2026_12_7_9_30_0_stats.htm", copiedLater);
    page("2026_13_40_9_30_0_stats.htm", QDateTime(QDate(2026, 12, 9), QTime(0, 0)));
    pane->show();
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("2027_1_2_0_0_1_stats.htm"),
                                      QStringLiteral("2026_12_10_9_0_0_stats.htm"),
                                      QStringLiteral("2026_13_40_9_30_0_stats.htm"),
                                      QStringLiteral("notes.htm"),
                                      QStringLiteral("2026_12_7_21_5_0_stats.htm"),
                                      QStringLiteral("2026_12_7_9_30_0_stats.htm")}));
}

TEST_F(StatsTab, OpenAndDeleteActOnTheSelectedPage) {
    touch(QStringLiteral("notes.htm"));
    touch(QStringLiteral("2002_8_19_14_5_9_stats.htm"));
    pane->show();
    QTest::keyClick(list, Qt::Key_Delete); // nothing selected: no question
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, QPoint(5, 150));
    EXPECT_FALSE(deleteAction->isEnabled());
    EXPECT_TRUE(menu.isVisible());
    menu.hide();

    // The label opens the directory, a double click the page.
    QTest::mouseClick(label, Qt::LeftButton);

    const QPoint centre = select(QStringLiteral("notes.htm"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    EXPECT_EQ(opener.opened,
              (QStringList{stats, stats + QDir::separator() + QStringLiteral("notes.htm")}));

    // A failure says why; Retry tries again.
    opener.fail = true;
    prompter.expect(QStringLiteral("An Error has occured"), Answer::Retry,
                    QStringLiteral("no file manager"));
    prompter.expect(QStringLiteral("An Error has occured"), Answer::Cancel);
    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_EQ(opener.opened.size(), 4);

    const QPoint onItem = select(QStringLiteral("notes.htm"));
    prompter.expect(QStringLiteral("Confirm Delete"), Answer::No);
    QTest::keyClick(list, Qt::Key_Delete);
    const ScriptedPrompter::Box box = prompter.lastShown();
    EXPECT_EQ(box.text, QStringLiteral("You are about to delete the stats file: notes.htm\r\n\r\n"
                                       "Are you sure you want to do this?"));
    EXPECT_TRUE(box.is(Buttons::YesNo, Icon::Question));
    EXPECT_EQ(entries().size(), 2);

    // The pop-up menu's "Delete..." is enabled with a selection and does the same.
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, onItem);
    EXPECT_TRUE(deleteAction->isEnabled());
    prompter.expect(QStringLiteral("Confirm Delete"), Answer::Yes);
    deleteAction->trigger();
    EXPECT_FALSE(QFile::exists(stats + QStringLiteral("/notes.htm")));
    EXPECT_EQ(entries(), QStringList{QStringLiteral("2002_8_19_14_5_9_stats.htm")});
}

TEST_F(StatsTab, BrowseSetsTheDirectoryAndCancelChangesNothing) {
    pane->show();
    auto *browse = named<QPushButton>(*pane, "cmdBrowseStatsDir");
    touch(QStringLiteral("notes.htm"));
    browse->click(); // cancelled
    EXPECT_EQ(picker.directoryTitles, QStringList{QStringLiteral("Select Stats Directory..")});
    EXPECT_EQ(options.StatsPath(), stats);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("notes.htm")}); // refreshed all the same

    const QString other = QDir::toNativeSeparators(m_dir.path() + QStringLiteral("/Other"));
    ASSERT_TRUE(QDir().mkdir(other));
    touch(QStringLiteral("mission.htm"), other);
    picker.directory = m_dir.path() + QStringLiteral("/Other/");
    browse->click();
    EXPECT_EQ(options.StatsPath(), other);
    EXPECT_EQ(label->text(), other);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("mission.htm")});
}

TEST(FolderChooser, StartsOnTheDesktopWhereThereIsOneElseAtHome) {
    QTemporaryDir home;
    const ScopedEnv homeDir("HOME", QFile::encodeName(home.path()));
    const ScopedEnv config("XDG_CONFIG_HOME", QByteArray());
    CommonDialog dialog;
    const QString userDirs = home.path() + QStringLiteral("/.config/user-dirs.dirs");
    for (const bool desktop : {false, true}) {
        SCOPED_TRACE(desktop);
        if (desktop) {
            QFile::remove(userDirs);
            QDir(home.path()).mkdir(QStringLiteral("Desktop"));
        } else {
            // The desktop the player's settings name was removed since.
            QDir(home.path()).mkdir(QStringLiteral(".config"));
            QFile dirs(userDirs);
            ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
            dirs.write("XDG_DESKTOP_DIR=\"$HOME/Gone/Desktop\"\n");
        }
        QString startedIn;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (auto *chooser = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
                startedIn = QFileInfo(chooser->directory().absolutePath()).canonicalFilePath();
                chooser->reject();
            }
        });
        poll.start(10);
        EXPECT_EQ(dialog.chooseDirectory(QStringLiteral("Select Stats Directory.."), nullptr),
                  QString());
        const QString expected = home.path() + (desktop ? QStringLiteral("/Desktop") : QString());
        EXPECT_EQ(startedIn, QFileInfo(expected).canonicalFilePath());
    }
}

TEST(DesktopOpener, SaysWhatCouldNotBeOpenedAndWhy) {
    platform::DetachedProcessLauncher launcher;
    platform::SystemDesktopOpener opener(launcher);
    QTemporaryDir dir;
    const QString missing = QDir::toNativeSeparators(dir.path() + QStringLiteral("/gone"));
    EXPECT_EQ(errorFrom([&] { opener.openDirectory(missing); }),
              QStringLiteral("Could not open the directory %1: it does not exist").arg(missing));
    EXPECT_THROW(opener.openPage(missing + QStringLiteral(".htm")), QuorvelError);
}
