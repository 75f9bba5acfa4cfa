#include "app/frmMain.h"

#include "app/ProgramIcon.h"
#include "app/ProgramTray.h"
#include "app/basMain.h"
#include "app/clsGRQuorvel.h"
#include "app/frmAbout.h"
#include "app/frmTips.h"
#include "common/Prompter.h"
#include "common/StateFile.h"
#include "gameopts/clsOptionsXML.h"
#include "options/ProgramState.h"
#include "options/clsOptions.h"
#include "options/ctlGameOptions.h"
#include "options/frmOptions.h"
#include "servers_tab/ctlGRServers.h"
#include "stats/ctlQuorvel.h"
#include "voice_tab/ctlRWServers.h"
#include "watch/BuddiesDialog.h"
#include "watch/DesktopNotifier.h"
#include "watch/WatchEngine.h"
#include "widgets/CommonDialog.h"
#include "widgets/NamedWidgets.h"
#include "widgets/SystemTray.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {
// A pane's room in the window: the pane fills it, and scrolls when the window is smaller than
// the pane needs (a small screen, a high scale), so the window can always fit the screen.
class PaneRoom : public QScrollArea {
public:
    PaneRoom(QWidget *pane, const QString &caption, QWidget *parent)
        : QScrollArea(parent) {
        setObjectName(pane->objectName() + QStringLiteral("Room"));
        setAccessibleName(caption);
        setFrameShape(QFrame::NoFrame);
        setFocusPolicy(Qt::NoFocus);
        setWidgetResizable(true);
        setWidget(pane);
    }
    // As large as the pane would like, not capped as a scroll area's own wish is.
    QSize sizeHint() const override {
        const int frame = 2 * frameWidth();
        return widget()->sizeHint() + QSize(frame, frame);
    }
};
} // namespace

frmMain::frmMain(clsGRQuorvel &root, CommonDialog *commonDialog, QWidget *parent)
    : QMainWindow(parent)
    , m_root(root)
    , m_dlgCommon(commonDialog) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Ghost Recon Quorvel"));
    if (m_dlgCommon && !m_dlgCommon->parent())
        m_dlgCommon->setParent(this);

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    m_tabs = named(new QTabWidget(central), u"SSTab1");
    m_tabs->setAccessibleName(QStringLiteral("Sections"));
    layout->addWidget(m_tabs, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_cmdQuit = namedButton(central, u"cmdQuit", tr("Quit"));
    buttons->addWidget(m_cmdQuit);
    layout->addLayout(buttons);
    setCentralWidget(central);
    connect(m_cmdQuit, &QPushButton::clicked, this, [] { ShutdownProgram(); });

    m_tmrStats = named(new QTimer(this), u"tmrStats");
    m_tmrStats->setInterval(m_root.timing().statsTickMs);
    m_tmrStats->start();

    buildMenus();
    buildPanes();
    connect(m_tabs, &QTabWidget::currentChanged, this, &frmMain::onTabChanged);
    sizeForTheServerList();
    onLoad();
    connectWatches();
}

void frmMain::connectWatches() {
    WatchEngine *watches = m_root.Watches();
    const bool on = watches && watches->isAvailable();
    m_mnuFileBuddies->setEnabled(on);
    // Also without watches: a start in the tray needs the way back to the window.
    m_tray = new ProgramTray(m_root, *this);
    if (!on)
        return;
    watches->setAutoJoin([this](const QString &address) {
        return m_ctlGRServers ? m_ctlGRServers->joinByItself(address)
                              : QStringLiteral("the window is gone");
    });
    m_notifier = new DesktopNotifier(this);
    m_notifier->setProgram(applicationId(), programIcon(), QIcon::hasThemeIcon(applicationId()));
    m_notifier->setTrayIcon([this] { return m_tray ? m_tray->icon() : nullptr; });
    connect(watches, &WatchEngine::notificationReady, m_notifier, &DesktopNotifier::notify);
    connect(m_notifier, &DesktopNotifier::joinRequested, this, [this](const QString &address) {
        if (m_ctlGRServers)
            m_ctlGRServers->launchServer(address);
    });
}

void frmMain::showBuddies() {
    WatchEngine *watches = m_root.Watches();
    if (!watches || !watches->isAvailable())
        return;
    BuddiesDialog dialog(*watches, this);
    dialog.exec();
}

frmMain::~frmMain() {
    // The watches outlive the window that joins for them.
    if (WatchEngine *watches = m_root.Watches())
        watches->setAutoJoin({});
}

void frmMain::sizeForTheServerList() {
    // First shown large enough for every column of the server list and fifteen rows: the
    // list asks for that room while the window takes its size, then lets the player shrink it.
    QTableView *list = m_ctlGRServers->listView();
    const QSize minimum = list->minimumSize();
    list->setMinimumSize(m_ctlGRServers->listSizeForRows(15));
    QSize size = sizeHint().expandedTo(QSize(720, 520));
    // Within the screen, whatever its scale (its frame is not known yet: a little is kept for it).
    if (const QScreen *screen = this->screen())
        size = size.boundedTo(screen->availableSize() - QSize(16, 48));
    list->setMinimumSize(minimum);
    resize(size);
}

void frmMain::buildMenus() {
    QMenu *file = namedMenu(this, QStringLiteral("mnuFile"), tr("File"));
    QAction *options = namedAction(file, QStringLiteral("mnuFileOptions"), tr("Options..."));
    connect(options, &QAction::triggered, this, &frmMain::showOptionsDialog);
    m_mnuFileBuddies = namedAction(file, QStringLiteral("mnuFileBuddies"), tr("Buddies..."));
    connect(m_mnuFileBuddies, &QAction::triggered, this, &frmMain::showBuddies);
    namedSeparator(file, QStringLiteral("mnuSep1"));
    QAction *quit = namedAction(file, QStringLiteral("mnuFileQuit"), tr("Quit"));
    connect(quit, &QAction::triggered, this, [] { ShutdownProgram(); });
    menuBar()->addMenu(file);

    QMenu *edit = namedMenu(this, QStringLiteral("mnuEdit"), tr("Edit"));
    namedAction(edit, QStringLiteral("mnuEditCopy"), tr("Copy"), false);
    namedAction(edit, QStringLiteral("mnuEditCut"), tr("Cut"), false);
    namedAction(edit, QStringLiteral("mnuEditPaste"), tr("Paste"), false);
    menuBar()->addMenu(edit);

    QMenu *help = namedMenu(this, QStringLiteral("mnuHelpHelp"), tr("Help"));
    namedAction(help, QStringLiteral("mnuHelp"), tr("Help..."), false);
    QAction *tips = namedAction(help, QStringLiteral("mnuHelpTips"), tr("Tips..."));
    connect(tips, &QAction::triggered, this, &frmMain::showTips);
    namedSeparator(help, QStringLiteral("mnuSep2"));
    QAction *about = namedAction(help, QStringLiteral("mnuHelpAbout"), tr("About Quorvel..."));
    connect(about, &QAction::triggered, this, &frmMain::showAbout);
    menuBar()->addMenu(help);

    // The hidden pop-up menu the stats pane shows on a right click in its list.
    m_mnuContext = namedMenu(this, QStringLiteral("mnuContext"), tr("Context"));
    m_mnuContext->menuAction()->setVisible(false);
    m_mnuStatDirGames =
        namedMenu(m_mnuContext, QStringLiteral("mnuStatDirGames"), tr("Stats Directory Games"));
    m_mnuContext->addMenu(m_mnuStatDirGames);
    m_mnuStatDirGamesDelete =
        namedAction(m_mnuStatDirGames, QStringLiteral("mnuStatDirGamesDelete"), tr("Delete..."));
    namedSeparator(m_mnuStatDirGames, QStringLiteral("mnuStatDirGamesSep1"));
    m_mnuStatDirGamesRefresh =
        namedAction(m_mnuStatDirGames, QStringLiteral("mnuStatDirGamesRefresh"), tr("Refresh"));
}

void frmMain::buildPanes() {
    const struct {
        const char *name;
        const char *caption;
    } panes[] = {
        {"ctlQuorvel", QT_TR_NOOP("Stat Tracking")},
        {"ctlGRServers", QT_TR_NOOP("Ghost Recon Servers")},
        {"ctlGameOptions", QT_TR_NOOP("Ghost Recon Game Options")},
        {"ctlRWServers", QT_TR_NOOP("Roger Wilco Servers")},
    };
    for (const auto &pane : panes) {
        const QString name = QString::fromLatin1(pane.name);
        QWidget *page = nullptr;
        if (name == u"ctlQuorvel") {
            ctlQuorvel::Services services;
            services.options = [this] { return m_root.Options(); };
            services.prompter = &m_root.prompter();
            services.commonDialog = m_dlgCommon;
            services.launcher = &m_root.launcher();
            services.menu = m_mnuStatDirGames;
            services.deleteAction = m_mnuStatDirGamesDelete;
            services.refreshAction = m_mnuStatDirGamesRefresh;
            page = m_ctlQuorvel = new ctlQuorvel(std::move(services), m_tabs);
        } else if (name == u"ctlGameOptions") {
            page = m_ctlGameOptions = new ctlGameOptions(m_root, m_dlgCommon, m_tabs);
        } else if (name == u"ctlGRServers") {
            page = m_ctlGRServers = new ctlGRServers(m_root, m_tabs);
            m_ctlGRServers->setInFront([this] { return m_tabs->currentIndex() == TabServers; });
        } else if (name == u"ctlRWServers") {
            page = m_ctlRWServers = new ctlRWServers(m_root, m_tabs);
        } else {
            page = new QWidget(m_tabs);
        }
        page->setObjectName(name);
        const QString caption = tr(pane.caption);
        m_tabs->addTab(new PaneRoom(page, caption, m_tabs), caption);
    }
    m_ctlRWServers->setOpenOptions([this] { showOptionsDialog(); });
}

void frmMain::onLoad() {
    // The game options tab can be used only when the game's options file existed at start-up.
    bool exists = false;
    runWithRetry(m_root.prompter(), titles::error,
                 [&] { exists = m_root.OptionsXML() && m_root.OptionsXML()->FileExists(); });
    m_tabs->setTabEnabled(TabGameOptions, exists);
}

void frmMain::showOptionsDialog() {
    frmOptions dialog(m_root, m_dlgCommon, this);
    dialog.exec();
}

void frmMain::onTabChanged(int index) {
    if (index != TabRogerWilco || !m_root.Options())
        return;
    m_ctlRWServers->RefreshList();
    if (m_root.Options()->RogerWilcoEXE().isEmpty()) {
        const Answer answer = m_root.prompter().ask(
            tr("You will need to enter the path to your Roger Wilco EXE before using this "
               "feature. Go to options now?"),
            tr("Roger Wilco not found"), Buttons::YesNo, Icon::Question);
        if (answer == Answer::Yes)
            showOptionsDialog();
    }
}

frmTips *frmMain::tipsWindow() const {
    return m_frmTips;
}

frmAbout *frmMain::aboutWindow() const {
    return m_frmAbout;
}

void frmMain::showTips() {
    if (!m_frmTips) {
        m_frmTips = new frmTips(m_root, this);
        m_frmTips->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_frmTips->ShowNextTip();
    m_frmTips->show();
    m_frmTips->raise();
    m_frmTips->activateWindow();
}

void frmMain::showAbout() {
    if (!m_frmAbout) {
        m_frmAbout = new frmAbout(m_root, this);
        m_frmAbout->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_frmAbout->show();
    m_frmAbout->raise();
    m_frmAbout->activateWindow();
}

void frmMain::commitEdits() {
    if (m_ctlGameOptions)
        m_ctlGameOptions->commitTypedName();
}

namespace {
constexpr char geometryKey[] = "window/geometry";
constexpr char maximizedKey[] = "window/maximized";
constexpr char tabKey[] = "window/tab";
} // namespace

void frmMain::saveWindowState() {
    StateFile state(m_root.StateFileName());
    state.setValue(geometryKey, normalGeometry());
    state.setValue(maximizedKey, isMaximized());
    state.setValue(tabKey, m_tabs->currentIndex());
    m_ctlGRServers->saveState(state);
    state.save(); // the window's state is a convenience: a file that cannot be written is let go
}

void frmMain::restoreWindowState() {
    const StateFile state(m_root.StateFileName());
    // Only a place that lies whole on one of the screens there are now: a screen unplugged
    // since must not leave the window out of sight.
    const QRect saved = state.value(geometryKey).toRect();
    if (saved.isValid() && saved.width() >= 200 && saved.height() >= 150) {
        for (const QScreen *screen : QGuiApplication::screens()) {
            if (screen->availableGeometry().contains(saved)) {
                setGeometry(saved);
                break;
            }
        }
    }
    if (state.value(maximizedKey).toBool())
        setWindowState(windowState() | Qt::WindowMaximized);
    bool ok = false;
    const int tab = state.value(tabKey).toInt(&ok);
    if (ok && tab >= 0 && tab < m_tabs->count() && m_tabs->isTabEnabled(tab)) {
        // Brought back, not chosen: the Roger Wilco tab shows its list without asking at start.
        const QSignalBlocker quiet(m_tabs);
        m_tabs->setCurrentIndex(tab);
        if (tab == TabRogerWilco)
            m_ctlRWServers->RefreshList();
    }
    m_ctlGRServers->restoreState(state);
}

bool frmMain::isSeen() const {
    return isVisible() && !isMinimized();
}

void frmMain::followSeen() {
    if (m_shownOnce && m_ctlGRServers)
        m_ctlGRServers->setWindowSeen(isSeen());
}

void frmMain::changeEvent(QEvent *event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        followSeen();
}

void frmMain::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    m_shownOnce = true;
    if (m_tray)
        m_tray->windowShown();
    followSeen();
}

void frmMain::startInTray() {
    m_shownOnce = true;
    if (m_tray && systemTrayAvailable() && m_tray->keepUntilWindowShown()) {
        followSeen();
        return;
    }
    showMinimized();
}

void frmMain::hideEvent(QHideEvent *event) {
    QMainWindow::hideEvent(event);
    followSeen();
}

bool frmMain::keepsWatchingWhenClosed() const {
    return m_tray && m_tray->isShown() && m_root.State() && m_root.State()->keepWatchingInTray();
}

void frmMain::closeEvent(QCloseEvent *event) {
    // Away to the tray, still watching; the way out is then Quit from the tray or the menu.
    if (!shutdownInProgress() && keepsWatchingWhenClosed()) {
        event->ignore();
        hide();
        return;
    }
    event->accept();
    ShutdownProgram();
}
