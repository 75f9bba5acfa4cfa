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

QDateTime at(int hour, int minute, int second) {
    return QDateTime(QDate(2002, 8, 19), QTime(hour, minute, second));
}

QByteArray read(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A game directory with a stats directory, and a recorder on it.
class Recording : public ::testing::Test {
protected:
    void SetUp() override {
        root = QDir::toNativeSeparators(m_dir.path()) + QDir::separator();
        stats = root + QStringLiteral("Stats");
        ASSERT_TRUE(QDir().mkdir(stats));
        options.setRecordStats(true);
        options.setStatsPath(stats);
    }

    // The game writes its page, last modified at `when` (local time).
    void writePage(const QByteArray &bytes, const QDateTime &when) const {
        QFile file(root + QStringLiteral("missionstats.htm"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        ASSERT_TRUE(file.flush());
        ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
    }

    // The game writes its page, then `recorder` takes its pass.
    void record(clsTrackStats &recorder, const QByteArray &bytes, const QDateTime &when) const {
        writePage(bytes, when);
        recorder.RecordStatsFile();
    }

    QStringList statsFiles() const {
        return QDir(stats).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QTemporaryDir m_dir;
    QString root, stats;
    QString cache() const { return root + QStringLiteral("GRQuorvelCache.dat"); }
    clsOptions options;
};

} // namespace

TEST(TrackStatsTitle, OnlyTheFirstClosedTitleIsTakenOut) {
    const struct {
        const char *in, *out;
    } cases[] = {
        {"<h2>Mission Stats (Caves)</h2>", "<h2></h2>"},
        {"Mission Stats (A) Mission Stats (B)", " Mission Stats (B)"},
        {"x) Mission Stats (Caves", "x) Mission Stats (Caves"},
        {"mission stats (lower case)", "mission stats (lower case)"},
    };
    for (const auto &c : cases) {
        QByteArray text(c.in);
        clsTrackStats::BlankMissionTitle(text);
        EXPECT_EQ(text, QByteArray(c.out)) << c.in;
    }
}

TEST_F(Recording, FirstPageIsCopiedOnceAndNotAgainAfterARestart) {
    clsTrackStats recorder(root, cache(), options);
    recorder.RecordStatsFile();
    EXPECT_TRUE(statsFiles().isEmpty()); // no page yet
    EXPECT_FALSE(QFile::exists(cache()));

    record(recorder, page1, at(14, 5, 9));
    const QString copy = stats + QDir::separator() + QStringLiteral("2002_8_19_14_5_9_stats.htm");
    ASSERT_EQ(statsFiles(), QStringList{QStringLiteral("2002_8_19_14_5_9_stats.htm")});
    EXPECT_EQ(read(copy), page1);
    EXPECT_EQ(read(cache()), page1);
    EXPECT_EQ(recorder.lastRecordedName(), copy);

    // A new run with the cache lost: the existing copy of that name alone stops the pass.
    QFile::remove(cache());
    clsTrackStats restarted(root, cache(), options);
    restarted.RecordStatsFile();
    EXPECT_EQ(statsFiles().size(), 1);
    EXPECT_FALSE(QFile::exists(cache()));

    // Same name as the last recording: nothing, even with the copy gone.
    QFile::remove(copy);
    recorder.RecordStatsFile();
    EXPECT_TRUE(statsFiles().isEmpty());
}

TEST_F(Recording, OnlyAChangeOutsideTheTitleIsANewMission) {
    clsTrackStats recorder(root, cache(), options);
    record(recorder, page1, at(10, 0, 0));
    // Titles of other lengths too, as when the game pads or blanks one.
    const char *titles[] = {"Docks - Recon +++", "Docks", "                 ", "",
                            "A much longer title"};
    int minute = 20;
    for (const char *title : titles) {
        QByteArray retitled = page1;
        retitled.replace("Caves - Firefight", title);
        record(recorder, retitled, at(10, minute++, 0));
        EXPECT_EQ(statsFiles().size(), 1) << title;
    }

    QByteArray changed = page1;
    changed.replace("<td>3</td>", "<td>4</td>");
    record(recorder, changed, at(10, 40, 0));
    EXPECT_EQ(statsFiles(), (QStringList{QStringLiteral("2002_8_19_10_0_0_stats.htm"),
                                         QStringLiteral("2002_8_19_10_40_0_stats.htm")}));
    EXPECT_EQ(read(cache()), changed);

    // Without a closing parenthesis the titles are compared as they stand.
    record(recorder, "Mission Stats (Caves kills 3", at(11, 0, 0));
    record(recorder, "Mission Stats (Docks kills 3", at(11, 5, 0));
    EXPECT_EQ(statsFiles().size(), 4);
}

TEST_F(Recording, AMissionWaitsUntilTheStatsDirectoryCanBeWrittenAndTheFailureIsTold) {
    clsTrackStats recorder(root, cache(), options);
    QSignalSpy failed(&recorder, &clsTrackStats::recordingFailed);
    QSignalSpy resumed(&recorder, &clsTrackStats::recordingResumed);
    const QString later = root + QStringLiteral("Later");
    options.setStatsPath(later);
    record(recorder, page1, at(12, 1, 2));
    recorder.RecordStatsFile(); // the same failure again is not told again
    ASSERT_EQ(failed.size(), 1);
    EXPECT_TRUE(failed.at(0).at(0).toString().startsWith(
        QDir::toNativeSeparators(later + QStringLiteral("/2002_8_19_12_1_2_stats.htm: "))))
        << failed.at(0).at(0).toString().toStdString();
    QFile blocker(later);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    recorder.RecordStatsFile(); // a file in its place
    EXPECT_FALSE(QFile::exists(cache()));
    EXPECT_TRUE(recorder.lastRecordedName().isEmpty());
    EXPECT_EQ(resumed.size(), 0);

    ASSERT_TRUE(blocker.remove());
    ASSERT_TRUE(QDir().mkdir(later));
    recorder.RecordStatsFile();
    EXPECT_EQ(read(later + QStringLiteral("/2002_8_19_12_1_2_stats.htm")), page1);
    EXPECT_EQ(read(cache()), page1);
    // Nothing but the finished copy is left behind.
    EXPECT_EQ(QDir(later).entryList(QDir::Files | QDir::Hidden).size(), 1);
    EXPECT_EQ(resumed.size(), 1);
    EXPECT_TRUE(recorder.failure().isEmpty());
}

TEST_F(Recording, TicksRecordOnlyWhileRecordingIsOn) {
    clsTrackStats recorder(root, cache(), options);
    QTimer timer;
    timer.start(5);
    recorder.setTimerControl(&timer);
    options.setRecordStats(false);
    writePage(page1, at(15, 0, 0));
    QSignalSpy ticks(&timer, &QTimer::timeout);
    ASSERT_TRUE(ticks.wait(1000) && ticks.wait(1000));
    EXPECT_TRUE(statsFiles().isEmpty());

    options.setRecordStats(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return statsFiles().size() == 1; }, 2000));
    EXPECT_TRUE(timer.isActive() && timer.interval() == 5);
}
