#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QTimer;
class clsOptions;

// Keeps every mission statistics page the game writes: on each tick of its timer, while
// recording is on, a page holding a mission not yet recorded is copied into the stats directory
// under a name made from the page's modification time. Never asks the player anything: a
// failure leaves the mission for a later tick, and is told through recordingFailed.
class clsTrackStats : public QObject {
    Q_OBJECT
public:
    // `rootDirectory` ends with the separator; `options` outlives the recorder.
    clsTrackStats(QString rootDirectory, QString cacheFileName, const clsOptions &options,
                  QObject *parent = nullptr);
    ~clsTrackStats() override;

    // Attaches the recorder to the timer whose ticks drive it (nullptr detaches it). The timer's
    // interval and running state are left alone.
    void setTimerControl(QTimer *timer);

    // One recording pass.
    void RecordStatsFile();

    // Why the last page could not be copied; empty when the last attempt succeeded.
    const QString &failure() const { return m_toldFailure; }

    // The full path of the copy made most recently in this run (empty before the first).
    const QString &lastRecordedName() const { return m_lastRecordedName; }

    // "2002_8_19_14_5_9_stats.htm" for 19 August 2002, 14:05:09.
    static QString BuildStatsFileName(const QDateTime &modified);
    // The local time such a name stands for; nothing for a name the recorder did not make.
    static std::optional<QDateTime> RecordedTime(const QString &fileName);
    // Takes the first "Mission Stats (" ... ")" title out of the text: pages that differ only
    // in that title, whatever its length, then compare the same.
    static void BlankMissionTitle(QByteArray &text);
    // True when both pages hold the same mission; an unreadable file reads as empty.
    static bool SameStats(const QString &first, const QString &second);

signals:
    // A page could not be copied (a full disk, an unwritable directory); told once per reason.
    void recordingFailed(const QString &reason);
    // A page was copied after a failure.
    void recordingResumed();

private:
    void onTick();

    QString m_rootDirectory;
    QString m_cacheFileName;
    const clsOptions &m_options;
    QString m_lastRecordedName;
    QString m_toldFailure;
    QPointer<QTimer> m_timer;
};
