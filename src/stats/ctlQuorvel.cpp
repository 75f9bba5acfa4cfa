#include "stats/ctlQuorvel.h"

#include "common/Prompter.h"
#include "common/QuorvelError.h"
#include "options/clsOptions.h"
#include "platform/DesktopOpener.h"
#include "platform/ProcessLauncher.h"
#include "stats/clsTrackStats.h"
#include "widgets/ClickableCaption.h"
#include "widgets/CommonDialog.h"
#include "widgets/NamedWidgets.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace {
const char recordTip[] =
    QT_TRANSLATE_NOOP("ctlQuorvel", "When checked, stats files will be recorded");

QString withoutTrailingSeparator(QString path) {
    path = QDir::toNativeSeparators(path);
    // A root ("/", "D:\") keeps its separator.
    while (path.size() > 1 && path.endsWith(QDir::separator()) &&
           !(path.size() == 3 && path.at(1) == u':'))
        path.chop(1);
    return path;
}
} // namespace

ctlQuorvel::ctlQuorvel(Services services, QWidget *parent)
    : QWidget(parent)
    , m_services(std::move(services)) {
    setObjectName(QStringLiteral("ctlQuorvel"));
    if (m_services.launcher)
        m_systemOpener = std::make_unique<platform::SystemDesktopOpener>(*m_services.launcher);
    m_opener = m_systemOpener.get();

    auto *frame = new QGroupBox(tr("Stats Directory"), this);
    frame->setObjectName(QStringLiteral("frmStatsDir"));
    m_lblStatsDirectory = namedLabel(frame, u"lblStatsDirectory", {},
                                     tr("Directory where stats files are placed. Click to open"));
    m_lblStatsDirectory->setCursor(Qt::PointingHandCursor);
    m_lblStatsDirectory->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_cmdBrowseStatsDir =
        namedButton(frame, u"cmdBrowseStatsDir", tr("Browse..."),
                    tr("Use to select directory where stats files will be placed"));
    auto *frameLayout = new QHBoxLayout(frame);
    frameLayout->addWidget(m_lblStatsDirectory, 1);
    frameLayout->addWidget(m_cmdBrowseStatsDir);

    m_chkRecordStats = named(new QCheckBox(this), u"chkRecordStats");
    m_chkRecordStats->setToolTip(tr(recordTip));
    m_lblRecordStats = namedLabel(this, u"lblRecordStats", tr("Record game stats"), tr(recordTip));
    nameAfter(m_lblRecordStats, m_chkRecordStats);
    auto *recordRow = new QHBoxLayout;
    recordRow->addWidget(m_chkRecordStats);
    recordRow->addWidget(m_lblRecordStats, 1);
    m_lblRecordFailure = namedLabel(this, u"lblRecordFailure", {});
    m_lblRecordFailure->setWordWrap(true);
    m_lblRecordFailure->setTextFormat(Qt::PlainText);
    m_lblRecordFailure->hide();

    m_lsvStatsDirectory = new QListWidget(this);
    m_lsvStatsDirectory->setObjectName(QStringLiteral("lsvStatsDirectory"));
    m_lsvStatsDirectory->setToolTip(
        tr("Stats files in the selected directory. Right click for options, double "
           "click to open a file"));
    m_lsvStatsDirectory->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lsvStatsDirectory->setAccessibleName(tr("Stat Tracking"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(recordRow);
    layout->addWidget(m_lblRecordFailure);
    layout->addWidget(m_lsvStatsDirectory, 1);

    onCaptionClick(m_lblStatsDirectory, [this] { openDirectory(); });
    onCaptionClick(m_lblRecordStats, [this] { m_chkRecordStats->toggle(); });
    m_lsvStatsDirectory->installEventFilter(this);
    m_lsvStatsDirectory->viewport()->installEventFilter(this);

    connect(m_chkRecordStats, &QCheckBox::toggled, this, [this](bool checked) {
        if (clsOptions *options = m_services.options ? m_services.options() : nullptr)
            options->setRecordStats(checked);
    });
    connect(m_cmdBrowseStatsDir, &QPushButton::clicked, this, &ctlQuorvel::browseStatsDirectory);
    connect(m_lsvStatsDirectory, &QListWidget::itemDoubleClicked, this,
            &ctlQuorvel::openSelectedFile);
    if (m_services.deleteAction)
        connect(m_services.deleteAction, &QAction::triggered, this, &ctlQuorvel::Deletefile);
    if (m_services.refreshAction)
        connect(m_services.refreshAction, &QAction::triggered, this, &ctlQuorvel::RefreshFileList);
}

ctlQuorvel::~ctlQuorvel() = default;

void ctlQuorvel::showRecordingFailure(const QString &reason) {
    m_lblRecordFailure->setText(
        tr("The last mission could not be recorded (%1). It is tried again at the "
           "next check.")
            .arg(reason));
    m_lblRecordFailure->show();
}

void ctlQuorvel::recordingResumed() {
    m_lblRecordFailure->hide();
    m_lblRecordFailure->clear();
    RefreshFileList();
}

void ctlQuorvel::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    refreshAll();
}

void ctlQuorvel::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    // Coming back to the window (from the game, most often) shows the copies made meanwhile;
    // the selected page stays selected.
    if (event->type() != QEvent::ActivationChange || !isActiveWindow() || !isVisible())
        return;
    const QString selected = selectedName();
    refreshAll();
    const QList<QListWidgetItem *> same =
        m_lsvStatsDirectory->findItems(selected, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (!selected.isEmpty() && !same.isEmpty())
        m_lsvStatsDirectory->setCurrentItem(same.constFirst());
}

bool ctlQuorvel::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (watched == m_lsvStatsDirectory->viewport() && mouse->button() == Qt::RightButton) {
            showContextMenu(mouse->globalPosition().toPoint());
            return true;
        }
    } else if (event->type() == QEvent::KeyRelease && watched == m_lsvStatsDirectory) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Delete && !key->isAutoRepeat()) {
            Deletefile();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ctlQuorvel::refreshAll() {
    clsOptions *options = m_services.options ? m_services.options() : nullptr;
    if (!options)
        return;
    m_lblStatsDirectory->setText(options->StatsPath());
    m_chkRecordStats->setChecked(options->RecordStats());
    RefreshFileList();
}

void ctlQuorvel::RefreshFileList() {
    m_lsvStatsDirectory->clear();
    clsOptions *options = m_services.options ? m_services.options() : nullptr;
    if (!options || options->StatsPath().isEmpty())
        return;
    const QIcon icon = style()->standardIcon(QStyle::SP_FileIcon);
    // Ordinary files only: hidden ones (and the recorder's unfinished copies) are left out.
    QFileInfoList files =
        QDir(options->StatsPath())
            .entryInfoList({QStringLiteral("*.htm")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    // The last mission first: by the time the recorder wrote into the name, for other pages by
    // the time the file was last written. Names in order of their text would put 2026_12_10
    // before 2026_12_7.
    std::vector<std::pair<QDateTime, QFileInfo>> dated;
    dated.reserve(static_cast<size_t>(files.size()));
    for (const QFileInfo &file : std::as_const(files)) {
        const std::optional<QDateTime> recorded = clsTrackStats::RecordedTime(file.fileName());
        dated.emplace_back(recorded ? *recorded : file.lastModified(), file);
    }
    std::stable_sort(dated.begin(), dated.end(),
                     [](const auto &a, const auto &b) { return a.first > b.first; });
    for (const auto &[time, file] : dated)
        m_lsvStatsDirectory->addItem(new QListWidgetItem(icon, file.fileName()));
}

QString ctlQuorvel::selectedName() const {
    const QList<QListWidgetItem *> selected = m_lsvStatsDirectory->selectedItems();
    return selected.isEmpty() ? QString() : selected.constFirst()->text();
}

QString ctlQuorvel::pathInStatsDirectory(const QString &name) const {
    QString directory = m_lblStatsDirectory->text();
    if (!directory.endsWith(QDir::separator()))
        directory += QDir::separator();
    return directory + name;
}

void ctlQuorvel::Deletefile() {
    const QString name = selectedName();
    if (name.isEmpty() || !m_services.prompter)
        return;
    const Answer answer = m_services.prompter->ask(
        tr("You are about to delete the stats file: %1").arg(name) + QStringLiteral("\r\n\r\n") +
            tr("Are you sure you want to do this?"),
        tr("Confirm Delete"), Buttons::YesNo, Icon::Question);
    if (answer != Answer::Yes)
        return;
    const QString path = pathInStatsDirectory(name);
    const bool deleted = runWithRetry(*m_services.prompter, titles::error, [&] {
        QFile file(path);
        if (!file.remove() && file.exists())
            throw QuorvelError(tr("Could not delete %1: %2")
                                   .arg(QDir::toNativeSeparators(path), file.errorString()));
    });
    if (deleted)
        RefreshFileList();
}

void ctlQuorvel::openDirectory() {
    if (!m_opener || !m_services.prompter)
        return;
    const QString directory = m_lblStatsDirectory->text();
    runWithRetry(*m_services.prompter, titles::error, [&] { m_opener->openDirectory(directory); });
}

void ctlQuorvel::openSelectedFile() {
    const QString name = selectedName();
    if (name.isEmpty() || !m_opener || !m_services.prompter)
        return;
    const QString path = pathInStatsDirectory(name);
    runWithRetry(*m_services.prompter, titles::error, [&] { m_opener->openPage(path); });
}

void ctlQuorvel::browseStatsDirectory() {
    if (m_services.commonDialog) {
        const QString chosen =
            m_services.commonDialog->chooseDirectory(tr("Select Stats Directory.."), window());
        clsOptions *options = m_services.options ? m_services.options() : nullptr;
        if (!chosen.isEmpty() && options) {
            const QString path = withoutTrailingSeparator(chosen);
            options->setStatsPath(path);
            m_lblStatsDirectory->setText(path);
        }
    }
    RefreshFileList();
}

void ctlQuorvel::showContextMenu(const QPoint &globalPos) {
    if (!m_services.menu)
        return;
    if (m_services.deleteAction)
        m_services.deleteAction->setEnabled(!selectedName().isEmpty());
    m_services.menu->popup(globalPos);
}
