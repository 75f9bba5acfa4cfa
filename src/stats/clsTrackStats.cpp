#include "stats/clsTrackStats.h"

#include "options/clsOptions.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTimer>

#include <optional>

namespace {
const QByteArray missionTitle = QByteArrayLiteral("Mission Stats (");

// The whole file, or nothing when it cannot be opened.
std::optional<QByteArray> tryReadWhole(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

QByteArray readWhole(const QString &path) {
    return tryReadWhole(path).value_or(QByteArray());
}

// Writes `bytes` under a temporary name beside `path` and renames it into place, so that a
// half-written file never appears under the real name. Why it failed, or nothing.
QString writeWhole(const QString &path, const QByteArray &bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    return file.commit() ? QString() : file.errorString();
}

QByteArray blanked(QByteArray text) {
    clsTrackStats::BlankMissionTitle(text);
    return text;
}
} // namespace

clsTrackStats::clsTrackStats(QString rootDirectory, QString cacheFileName,
                             const clsOptions &options, QObject *parent)
    : QObject(parent)
    , m_rootDirectory(std::move(rootDirectory))
    , m_cacheFileName(std::move(cacheFileName))
    , m_options(options) {}

clsTrackStats::~clsTrackStats() {
    setTimerControl(nullptr);
}

void clsTrackStats::setTimerControl(QTimer *timer) {
    if (m_timer)
        disconnect(m_timer, &QTimer::timeout, this, &clsTrackStats::onTick);
    m_timer = timer;
    if (m_timer)
        connect(m_timer, &QTimer::timeout, this, &clsTrackStats::onTick);
}

void clsTrackStats::onTick() {
    if (m_options.RecordStats())
        RecordStatsFile();
}

QString clsTrackStats::BuildStatsFileName(const QDateTime &modified) {
    const QDate date = modified.date();
    const QTime time = modified.time();
    return QStringLiteral("%1_%2_%3_%4_%5_%6_stats.htm")
        .arg(date.year())
        .arg(date.month())
        .arg(date.day())
        .arg(time.hour())
        .arg(time.minute())
        .arg(time.second());
}

std::optional<QDateTime> clsTrackStats::RecordedTime(const QString &fileName) {
    static const QRegularExpression name(
        QStringLiteral(
            R"(^(\d{1,4})_(\d{1,2})_(\d{1,2})_(\d{1,2})_(\d{1,2})_(\d{1,2})_stats\.htm$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = name.match(fileName);
    if (!match.hasMatch())
        return std::nullopt;
    const auto part = [&](int n) { return match.captured(n).toInt(); };
    const QDate date(part(1), part(2), part(3));
    const QTime time(part(4), part(5), part(6));
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time);
}

void clsTrackStats::BlankMissionTitle(QByteArray &text) {
    const qsizetype start = text.indexOf(missionTitle);
    if (start < 0)
        return;
    const qsizetype end = text.indexOf(')', start + 1);
    if (end < 0)
        return;
    // Taken out rather than blanked, so that titles of other lengths compare the same.
    text.remove(start, end - start + 1);
}

bool clsTrackStats::SameStats(const QString &first, const QString &second) {
    return blanked(readWhole(first)) == blanked(readWhole(second));
}

void clsTrackStats::RecordStatsFile() {
    const QString source = m_rootDirectory + QStringLiteral("missionstats.htm");
    const QFileInfo sourceInfo(source);
    if (!sourceInfo.isFile())
        return;

    // Without a stats directory there is nowhere to record to; the page waits for one.
    QString directory = m_options.StatsPath();
    if (directory.isEmpty())
        return;
    if (!directory.endsWith(QDir::separator()) && !directory.endsWith(u'/'))
        directory += QDir::separator();
    const QString destination =
        directory + BuildStatsFileName(sourceInfo.lastModified().toLocalTime());

    if (destination == m_lastRecordedName)
        return;
    if (QFileInfo::exists(destination))
        return;

    // Read the page once: the same bytes are compared, copied and cached, even if the game
    // rewrites the page meanwhile.
    // A page that cannot be read now (the game may hold it) is tried again at the next tick
    // rather than recorded empty.
    const std::optional<QByteArray> page = tryReadWhole(source);
    if (!page || blanked(readWhole(m_cacheFileName)) == blanked(*page))
        return;

    // The mission counts as recorded only once its copy exists; otherwise a later tick tries
    // again (for example once the stats directory exists or is writable).
    if (const QString failure = writeWhole(destination, *page); !failure.isEmpty()) {
        const QString reason =
            QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(destination), failure);
        if (reason != m_toldFailure) {
            m_toldFailure = reason;
            emit recordingFailed(reason);
        }
        return;
    }
    writeWhole(m_cacheFileName, *page);
    m_lastRecordedName = destination;
    if (!m_toldFailure.isEmpty()) {
        m_toldFailure.clear();
        emit recordingResumed();
    }
}
