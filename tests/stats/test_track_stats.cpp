#include "options/clsOptions.h"
#include "stats/clsTrackStats.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const QByteArray page1 = QByteArrayLiteral(
    "<html><h2>Mission Stats (Caves - Firefight)</h2><tr><td>Rook</td><td>3</td></tr></html>");

// A game directory with a stats directory, and a recorder on it.
class Recording : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        root = QDir::toNativeSeparators(m_dir.path()) + QDir::separator();
        stats = root + QStringLiteral("Stats");
        ASSERT_TRUE(QDir().mkdir(stats));
        options.setRecordStats(true);
        options.setStatsPath(stats);
        recorder = std::make_unique<clsTrackStats>(root, cache(), options);
    }

    QString cache() const { return root + QStringLiteral("GRQuorvelCache.dat"); }
    QString page() const { return root + QStringLiteral("missionstats.htm"); }

    // The game writes its page, last modified at `when` (local time).
    void writePage(const QByteArray &bytes, const QDateTime &when) {
        QFile file(page());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        ASSERT_TRUE(file.flush());
        ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
    }

    QStringList statsFiles() const {
        return QDir(stats).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    static QByteArray read(const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QDateTime at(int hour, int minute, int second) {
        return QDateTime(QDate(2002, 8, 19), QTime(hour, minute, second));
    }

    QTemporaryDir m_dir;
    QString root;
    QString stats;
    clsOptions options;
    std::unique_ptr<clsTrackStats> recorder;
};

} // namespace

TEST(TrackStatsNames, NoLeadingZerosAndTitleBlanking) {
    EXPECT_EQ(clsTrackStats::BuildStatsFileName(QDateTime(QDate(2002, 8, 19), QTime(14, 5, 9))),
              QStringLiteral("2002_8_19_14_5_9_stats.htm"));
    EXPECT_EQ(clsTrackStats::BuildStatsFileName(QDateTime(QDate(2024, 12, 31), QTime(0, 0, 0))),
              QStringLiteral("2024_12_31_0_0_0_stats.htm"));

    const struct {
        const char *in;
        const char *out;
    } cases[] = {
        {"<h2>Mission Stats (Caves)</h2>", "<h2>                     </h2>"},
        // Only the first title is blanked.
        {"Mission Stats (A) Mission Stats (B)", "                  Mission Stats (B)"},
        // No closing parenthesis after the title: unchanged.
        {"x) Mission Stats (Caves", "x) Mission Stats (Caves"},
        {"mission stats (lower case)", "mission stats (lower case)"},
        {"", ""},
    };
    for (const auto &c : cases) {
        QByteArray text(c.in);
        clsTrackStats::BlankMissionTitle(text);
        EXPECT_EQ(text, QByteArray(c.out)) << c.in;
    }
}

TEST_F(Recording, FirstPageIsCopiedAndCachedThenNotAgain) {
    writePage(page1, at(14, 5, 9));
    recorder->RecordStatsFile();
    const QString copy = stats + QDir::separator() + QStringLiteral("2002_8_19_14_5_9_stats.htm");
    ASSERT_EQ(statsFiles(), QStringList{QStringLiteral("2002_8_19_14_5_9_stats.htm")});
    EXPECT_EQ(read(copy), page1);
    EXPECT_EQ(read(cache()), page1);
    EXPECT_EQ(recorder->lastRecordedName(), copy);

    // The same page at the next tick: nothing, even if the copy is gone meanwhile.
    QFile::remove(copy);
    recorder->RecordStatsFile();
    EXPECT_TRUE(statsFiles().isEmpty());
}

TEST_F(Recording, RestartWithTheCopyPresentRecordsNothing) {
    writePage(page1, at(9, 30, 0));
    recorder->RecordStatsFile();
    ASSERT_EQ(statsFiles().size(), 1);
    // A new run, and the cache lost: the existing copy of that name alone stops the pass.
    QFile::remove(cache());
    clsTrackStats restarted(root, cache(), options);
    restarted.RecordStatsFile();
    EXPECT_EQ(statsFiles().size(), 1);
    EXPECT_FALSE(QFile::exists(cache()));
    EXPECT_TRUE(restarted.lastRecordedName().isEmpty());
}

TEST_F(Recording, OnlyAChangeOutsideTheTitleIsANewMission) {
    writePage(page1, at(10, 0, 0));
    recorder->RecordStatsFile();
    ASSERT_EQ(statsFiles().size(), 1);

    QByteArray retitled = page1;
    retitled.replace("Caves - Firefight", "Docks - Recon +++");
    writePage(retitled, at(10, 20, 0));
    recorder->RecordStatsFile();
    EXPECT_EQ(statsFiles().size(), 1);

    QByteArray changed = page1;
    changed.replace("<td>3</td>", "<td>4</td>");
    writePage(changed, at(10, 40, 0));
    recorder->RecordStatsFile();
    EXPECT_EQ(statsFiles(), (QStringList{QStringLiteral("2002_8_19_10_0_0_stats.htm"),
                                         QStringLiteral("2002_8_19_10_40_0_stats.htm")}));
    EXPECT_EQ(read(cache()), changed);
}

TEST_F(Recording, TitleWithoutClosingParenthesisIsComparedWhole) {
    const QByteArray open = QByteArrayLiteral("<h2>Mission Stats (Caves</h2> kills 3");
    writePage(open, at(11, 0, 0));
    recorder->RecordStatsFile();
    QByteArray other = open;
    other.replace("Caves", "Docks");
    writePage(other, at(11, 5, 0));
    recorder->RecordStatsFile();
    EXPECT_EQ(statsFiles().size(), 2);
}

TEST_F(Recording, MissingStatsDirectoryLosesNothing) {
    options.setStatsPath(root + QStringLiteral("Later"));
    writePage(page1, at(12, 1, 2));
    recorder->RecordStatsFile();
    EXPECT_FALSE(QFile::exists(cache()));
    EXPECT_TRUE(recorder->lastRecordedName().isEmpty());

    // A file where the directory should be fails the same way.
    QFile blocker(root + QStringLiteral("Later"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    recorder->RecordStatsFile();
    EXPECT_FALSE(QFile::exists(cache()));

    // Once the directory can be written, the waiting mission is recorded.
    ASSERT_TRUE(blocker.remove());
    ASSERT_TRUE(QDir().mkdir(root + QStringLiteral("Later")));
    recorder->RecordStatsFile();
    EXPECT_EQ(read(root + QStringLiteral("Later/2002_8_19_12_1_2_stats.htm")), page1);
    EXPECT_EQ(read(cache()), page1);
    // Nothing but the finished copy is left in the directory.
    EXPECT_EQ(QDir(root + QStringLiteral("Later")).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(Recording, NoPageNoFiles) {
    recorder->RecordStatsFile();
    EXPECT_TRUE(statsFiles().isEmpty());
    EXPECT_FALSE(QFile::exists(cache()));
}

TEST_F(Recording, TicksRecordOnlyWhileRecordingIsOn) {
    QTimer timer;
    timer.setInterval(5);
    timer.start();
    recorder->setTimerControl(&timer);
    options.setRecordStats(false);
    writePage(page1, at(15, 0, 0));

    QSignalSpy ticks(&timer, &QTimer::timeout);
    ASSERT_TRUE(ticks.wait(1000));
    ASSERT_TRUE(ticks.wait(1000));
    EXPECT_TRUE(statsFiles().isEmpty());

    options.setRecordStats(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return statsFiles().size() == 1; }, 2000));
    EXPECT_EQ(timer.interval(), 5);
    EXPECT_TRUE(timer.isActive());

    // Detached: further ticks do nothing.
    recorder->setTimerControl(nullptr);
    writePage(page1 + "more", at(15, 1, 0));
    ASSERT_TRUE(ticks.wait(1000));
    ASSERT_TRUE(ticks.wait(1000));
    EXPECT_EQ(statsFiles().size(), 1);
}
