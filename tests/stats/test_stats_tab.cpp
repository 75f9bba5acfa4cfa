#include "app/CommonDialog.h"
#include "common/QuorvelError.h"
#include "options/clsOptions.h"
#include "platform/DesktopOpener.h"
#include "stats/ctlQuorvel.h"
#include "support/ScriptedPrompter.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class RecordingOpener : public platform::DesktopOpener {
public:
    void openDirectory(const QString &path) override {
        directories << path;
        if (fail)
            throw QuorvelError(QStringLiteral("no file manager"));
    }
    void openPage(const QString &path) override { pages << path; }
    QStringList directories;
    QStringList pages;
    bool fail = false;
};

class ScriptedDirectoryPicker : public CommonDialog {
public:
    QString chooseDirectory(const QString &title, QWidget *) override {
        titles << title;
        return answer;
    }
    QString answer;
    QStringList titles;
};

class StatsTab : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        stats =
            QDir::toNativeSeparators(m_dir.path()) + QDir::separator() + QStringLiteral("Stats");
        ASSERT_TRUE(QDir().mkdir(stats));
        options.setStatsPath(stats);
        options.setRecordStats(true);
        deleteAction = menu.addAction(QStringLiteral("Delete..."));
        menu.addSeparator();
        refreshAction = menu.addAction(QStringLiteral("Refresh"));

        ctlQuorvel::Services services;
        services.options = [this] { return &options; };
        services.prompter = &prompter;
        services.commonDialog = &picker;
        services.menu = &menu;
        services.deleteAction = deleteAction;
        services.refreshAction = refreshAction;
        pane = std::make_unique<ctlQuorvel>(std::move(services));
        pane->setOpener(&opener);
        list = pane->findChild<QListWidget *>(QStringLiteral("lsvStatsDirectory"));
        label = pane->findChild<QLabel *>(QStringLiteral("lblStatsDirectory"));
        ASSERT_NE(list, nullptr);
        ASSERT_NE(label, nullptr);
    }

    void TearDown() override { menu.hide(); }

    void touch(const QString &name, const QString &in = {}) const {
        QFile file((in.isEmpty() ? stats : in) + QDir::separator() + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<html></html>");
    }

    QStringList entries() const {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
        return texts;
    }

    void select(const QString &name) const {
        const auto found = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        list->setCurrentItem(found.constFirst());
    }

    void rightClick() const {
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, QPoint(5, 5));
    }

    QTemporaryDir m_dir;
    QString stats;
    clsOptions options;
    ScriptedPrompter prompter;
    ScriptedDirectoryPicker picker;
    RecordingOpener opener;
    QMenu menu;
    QAction *deleteAction = nullptr;
    QAction *refreshAction = nullptr;
    std::unique_ptr<ctlQuorvel> pane;
    QListWidget *list = nullptr;
    QLabel *label = nullptr;
};

} // namespace

TEST_F(StatsTab, ShowingThePaneListsEveryHtmFileAndThePreferences) {
    touch(QStringLiteral("2002_8_19_14_5_9_stats.htm"));
    touch(QStringLiteral("notes.htm"));
    touch(QStringLiteral("readme.txt"));
    touch(QStringLiteral(".hidden.htm"));
    touch(QStringLiteral("2002_8_19_14_5_9_stats.htm.a1b2c3")); // an unfinished copy
    QDir(stats).mkdir(QStringLiteral("folder.htm"));
    options.setRecordStats(false);
    pane->show();
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("2002_8_19_14_5_9_stats.htm"),
                                      QStringLiteral("notes.htm")}));
    EXPECT_EQ(label->text(), stats);
    EXPECT_FALSE(pane->findChild<QCheckBox *>(QStringLiteral("chkRecordStats"))->isChecked());

    // A copy made meanwhile shows up the next time the pane is shown, or on Refresh.
    touch(QStringLiteral("later.htm"));
    pane->hide();
    pane->show();
    EXPECT_EQ(entries().size(), 3);
    touch(QStringLiteral("later2.htm"));
    refreshAction->trigger();
    EXPECT_EQ(entries().size(), 4);
}

TEST_F(StatsTab, RecordLabelTogglesThePreferenceAtOnce) {
    pane->show();
    auto *recordLabel = pane->findChild<QLabel *>(QStringLiteral("lblRecordStats"));
    EXPECT_EQ(recordLabel->text(), QStringLiteral("Record game stats"));
    QTest::mouseClick(recordLabel, Qt::LeftButton);
    EXPECT_FALSE(options.RecordStats());
    QTest::mouseClick(recordLabel, Qt::LeftButton);
    EXPECT_TRUE(options.RecordStats());
    QTest::mouseClick(pane->findChild<QCheckBox *>(QStringLiteral("chkRecordStats")),
                      Qt::LeftButton);
    EXPECT_FALSE(options.RecordStats());
}

TEST_F(StatsTab, DeleteAsksWithTheFileNameAndDeletesOnYesOnly) {
    touch(QStringLiteral("notes.htm"));
    touch(QStringLiteral("2002_8_19_14_5_9_stats.htm"));
    pane->show();

    // Nothing selected: no question.
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_TRUE(prompter.shown().empty());

    select(QStringLiteral("notes.htm"));
    prompter.expect(QStringLiteral("Confirm Delete"), Answer::No);
    QTest::keyClick(list, Qt::Key_Delete);
    ASSERT_EQ(prompter.shown().size(), 1u);
    const ScriptedPrompter::Box &box = prompter.shown().front();
    EXPECT_EQ(box.text, QStringLiteral("You are about to delete the stats file: notes.htm\r\n\r\n"
                                       "Are you sure you want to do this?"));
    EXPECT_EQ(box.buttons, Buttons::YesNo);
    EXPECT_EQ(box.icon, Icon::Question);
    EXPECT_TRUE(QFile::exists(stats + QStringLiteral("/notes.htm")));
    EXPECT_EQ(entries().size(), 2);

    // The pop-up menu's "Delete..." does the same.
    prompter.expect(QStringLiteral("Confirm Delete"), Answer::Yes);
    deleteAction->trigger();
    EXPECT_FALSE(QFile::exists(stats + QStringLiteral("/notes.htm")));
    EXPECT_EQ(entries(), QStringList{QStringLiteral("2002_8_19_14_5_9_stats.htm")});
    EXPECT_TRUE(prompter.allAnswered());
}

TEST_F(StatsTab, ContextMenuOffersDeleteOnlyWithASelection) {
    pane->show();
    rightClick();
    EXPECT_FALSE(deleteAction->isEnabled());
    EXPECT_TRUE(menu.isVisible());
    menu.hide();

    touch(QStringLiteral("notes.htm"));
    refreshAction->trigger();
    select(QStringLiteral("notes.htm"));
    rightClick();
    EXPECT_TRUE(deleteAction->isEnabled());
}

TEST_F(StatsTab, LabelClickAndDoubleClickOpenTheRightPaths) {
    touch(QStringLiteral("notes.htm"));
    pane->show();
    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_EQ(opener.directories, QStringList{stats});

    QListWidgetItem *item = list->item(0);
    list->setCurrentItem(item);
    QCoreApplication::processEvents(); // the list lays its items out late
    const QPoint centre = list->visualItemRect(item).center();
    // A real double click: a click, then the second press reported as a double click.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    EXPECT_EQ(opener.pages, QStringList{stats + QDir::separator() + QStringLiteral("notes.htm")});

    // A failure says why; Retry tries again.
    opener.fail = true;
    prompter.expect(QStringLiteral("An Error has occured"), Answer::Retry,
                    QStringLiteral("no file manager"));
    prompter.expect(QStringLiteral("An Error has occured"), Answer::Cancel);
    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_EQ(opener.directories.size(), 3);
    EXPECT_TRUE(prompter.allAnswered());
}

TEST_F(StatsTab, BrowseSetsTheDirectoryAndCancelChangesNothing) {
    pane->show();
    auto *browse = pane->findChild<QPushButton *>(QStringLiteral("cmdBrowseStatsDir"));

    touch(QStringLiteral("notes.htm"));
    picker.answer.clear();
    browse->click();
    EXPECT_EQ(picker.titles, QStringList{QStringLiteral("Select Stats Directory..")});
    EXPECT_EQ(options.StatsPath(), stats);
    EXPECT_EQ(label->text(), stats);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("notes.htm")}); // refreshed all the same

    const QString other =
        QDir::toNativeSeparators(m_dir.path()) + QDir::separator() + QStringLiteral("Other");
    ASSERT_TRUE(QDir().mkdir(other));
    touch(QStringLiteral("mission.htm"), other);
    picker.answer = m_dir.path() + QStringLiteral("/Other/");
    browse->click();
    EXPECT_EQ(options.StatsPath(), other);
    EXPECT_EQ(label->text(), other);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("mission.htm")});
}
