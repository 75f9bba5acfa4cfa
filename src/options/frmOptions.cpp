#include "options/frmOptions.h"

#include "common/Prompter.h"
#include "options/ProgramState.h"
#include "options/clsOptions.h"
#include "platform/SessionAutostart.h"
#include "platform/WindowsProgram.h"
#include "root/AppRoot.h"
#include "widgets/ClickableCaption.h"
#include "widgets/CommonDialog.h"
#include "widgets/NamedWidgets.h"
#include "widgets/SystemTray.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

const char noRogerWilcoPath[] =
    QT_TRANSLATE_NOOP("frmOptions", "Use the browse button to locate your Roger Wilco EXE");

} // namespace

frmOptions::frmOptions(AppRoot &root, CommonDialog *commonDialog, QWidget *parent)
    : QDialog(parent)
    , m_root(root)
    , m_dlgCommon(commonDialog) {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(tr("Options..."));
    auto *layout = new QVBoxLayout(this);

    auto *general = new QGroupBox(tr("General"), this);
    general->setObjectName(QStringLiteral("Frame1"));
    auto *generalLayout = new QGridLayout(general);
    const auto apply = [this](QCheckBox *box) { applySwitch(box); };
    m_chkShowTips =
        addCaptionedSwitch(generalLayout, 0, QStringLiteral("chkShowTips"),
                           QStringLiteral("lblShowTips"), tr("Show tips on startup"), apply)
            .box;
    m_chkPingServers =
        addCaptionedSwitch(generalLayout, 1, QStringLiteral("chkPingServers"),
                           QStringLiteral("lblPingServers"), tr("Ping servers on startup"), apply)
            .box;
    m_chkKeepInTray =
        new QCheckBox(tr("Keep watching in the tray when the window is closed"), general);
    m_chkKeepInTray->setObjectName(QStringLiteral("chkKeepInTray"));
    if (systemTrayAvailable()) {
        m_chkKeepInTray->setToolTip(
            tr("While servers or buddies are watched, closing the window leaves "
               "GRQuorvel in the tray; Quit ends it"));
    } else {
        m_chkKeepInTray->setEnabled(false);
        m_chkKeepInTray->setToolTip(tr("This desktop has no system tray to keep GRQuorvel in"));
    }
    generalLayout->addWidget(m_chkKeepInTray, 2, 0, 1, 3);
    connect(m_chkKeepInTray, &QCheckBox::toggled, this, [this](bool on) {
        if (ProgramState *state = m_root.State())
            state->setKeepWatchingInTray(on);
    });
    m_chkStartWithSession = new QCheckBox(tr("Start with my desktop session"), general);
    m_chkStartWithSession->setObjectName(QStringLiteral("chkStartWithSession"));
    m_chkStartWithSession->setToolTip(
        tr("When you log in, GRQuorvel starts in the tray and keeps watching"));
    generalLayout->addWidget(m_chkStartWithSession, 3, 0, 1, 3);
    connect(m_chkStartWithSession, &QCheckBox::toggled, this, &frmOptions::setStartWithSession);
    generalLayout->setColumnStretch(2, 1);
    layout->addWidget(general);

    auto *path = new QGroupBox(tr("Roger Wilco Path"), this);
    path->setObjectName(QStringLiteral("Frame2"));
    auto *pathLayout = new QVBoxLayout(path);
    m_lblRWPath = namedLabel(path, u"lblRWPath");
    m_lblRWPath->setWordWrap(true);
    QFont small = m_lblRWPath->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    m_lblRWPath->setFont(small);
    pathLayout->addWidget(m_lblRWPath);
    m_cmdBrowseRW = namedButton(path, u"cmdBrowseRW", tr("Browse..."));
    pathLayout->addWidget(m_cmdBrowseRW, 0, Qt::AlignRight);
    layout->addWidget(path);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_cmdOK = namedButton(this, u"cmdOK", tr("OK"));
    m_cmdOK->setDefault(true);
    buttons->addWidget(m_cmdOK);
    layout->addLayout(buttons);

    connect(m_cmdBrowseRW, &QPushButton::clicked, this, [this] {
        BrowseForRogerWilco();
        RefreshData();
    });
    connect(m_cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    resize(380, sizeHint().height());
    RefreshData();
}

frmOptions::~frmOptions() = default;

void frmOptions::RefreshData() {
    const clsOptions *options = m_root.Options();
    if (!options)
        return;
    m_chkPingServers->setChecked(options->PingGRServersOnStartup());
    m_chkShowTips->setChecked(options->ShowTips());
    if (const ProgramState *state = m_root.State()) {
        const QSignalBlocker quiet(m_chkKeepInTray);
        m_chkKeepInTray->setChecked(state->keepWatchingInTray());
    }
    {
        const QSignalBlocker quiet(m_chkStartWithSession);
        m_chkStartWithSession->setChecked(platform::SessionAutostart::isOn());
    }
    m_lblRWPath->setText(options->RogerWilcoEXE().isEmpty() ? tr(noRogerWilcoPath)
                                                            : options->RogerWilcoEXE());
}

QString frmOptions::rogerWilcoStartDirectory(const QString &rootDirectory) {
    const QString programFiles = platform::programFilesDirectory(rootDirectory);
    if (programFiles.isEmpty())
        return {};
    for (const QString &candidate : {programFiles + QStringLiteral("/Roger Wilco"), programFiles})
        if (QFileInfo(candidate).isDir())
            return QDir::toNativeSeparators(candidate);
    return {};
}

void frmOptions::BrowseForRogerWilco() {
    if (!m_root.Options() || !m_dlgCommon)
        return;
    runWithRetry(m_root.prompter(), titles::error, [this] {
        CommonDialog::FileRequest request;
        request.title = tr("Locate Roger Wilco exe..");
        request.directory = rogerWilcoStartDirectory(m_root.RootDirectory());
        request.fileName = QStringLiteral("Roger.exe");
        request.filter = QStringLiteral("Roger.exe  (Roger.exe)");
        request.mustExist = true;
        const QString chosen = m_dlgCommon->chooseOpenFile(request, this);
        if (!QFileInfo(chosen).fileName().isEmpty())
            m_root.Options()->setRogerWilcoEXE(QDir::toNativeSeparators(chosen));
    });
}

QStringList frmOptions::sessionStartArguments(const QString &rootDirectory) {
    // The same game as now, hidden in the tray: no choice of games and no window at login.
    return {QStringLiteral("--tray"), QStringLiteral("--game-dir"),
            QDir::toNativeSeparators(rootDirectory)};
}

void frmOptions::setStartWithSession(bool on) {
    runWithRetry(m_root.prompter(), titles::error, [this, on] {
        if (on)
            platform::SessionAutostart::turnOn(QCoreApplication::applicationFilePath(),
                                               sessionStartArguments(m_root.RootDirectory()));
        else
            platform::SessionAutostart::turnOff();
    });
    // Given up: the box shows what is really there.
    const QSignalBlocker quiet(m_chkStartWithSession);
    m_chkStartWithSession->setChecked(platform::SessionAutostart::isOn());
}

void frmOptions::applySwitch(QCheckBox *box) {
    clsOptions *options = m_root.Options();
    if (!options)
        return;
    const bool on = box->checkState() != Qt::Unchecked;
    if (box == m_chkShowTips)
        options->setShowTips(on);
    else
        options->setPingGRServersOnStartup(on);
}
