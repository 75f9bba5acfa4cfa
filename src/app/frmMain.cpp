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
#include "servers_tab/frmFindLanServers.h"
#include "stats/ctlQuorvel.h"
#include "voice_tab/ctlRWServers.h"
#include "watch/BuddiesDialog.h"
#include "watch/DesktopNotifier.h"
#include "watch/WatchEngine.h"
#include "widgets/CommonDialog.h"
#include "widgets/NamedWidgets.h"
#include "widgets/SystemTray.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
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
    setWindowTitle(tr("Ghost Recon Quorvel"));
    if (m_dlgCommon && !m_dlgCommon->parent())
        m_dlgCommon->setParent(this);

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    m_tabs = named(new QTabWidget(central), u"SSTab1");
    m_tabs->setAccessibleName(tr("Sections"));
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
    connect(m_tabs, &QTabWidget::currentChanged, this, &frmMain::updateEditActions);
    connect(m_ctlGRServers, &ctlGRServers::editStateChanged, this, &frmMain::updateEditActions);
    connect(m_ctlRWServers, &ctlRWServers::editStateChanged, this, &frmMain::updateEditActions);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &frmMain::updateEditActions);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        // The menus take the focus while they are open; the entries act on what had it before.
        if (now && now->window() == this && !qobject_cast<QMenu *>(now) &&
            !qobject_cast<QMenuBar *>(now)) {
            m_editTarget = now;
            updateEditActions();
        }
    });
    updateEditActions();
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
        return m_ctlGRServers ? m_ctlGRServers->joinByItself(address) : tr("the window is gone");
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
    // The panes and the focus go after this body has run: nothing may update the menu then.
    disconnect(qApp, nullptr, this, nullptr);
    disconnect(QGuiApplication::clipboard(), nullptr, this, nullptr);
    disconnect(m_ctlGRServers, nullptr, this, nullptr);
    disconnect(m_ctlRWServers, nullptr, this, nullptr);
    disconnect(m_tabs, &QTabWidget::currentChanged, this, &frmMain::updateEditActions);
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
    namedSeparator(file, QStringLiteral("mnuSepServerFiles"));
    QAction *findLan =
        namedAction(file, QStringLiteral("mnuFileFindLan"), tr("Find LAN Servers..."));
    connect(findLan, &QAction::triggered, this, &frmMain::showFindLanServers);
    QAction *import = namedAction(file, QStringLiteral("mnuFileImport"), tr("Import Servers..."));
    import->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(import, &QAction::triggered, this, &frmMain::importServers);
    QAction *exportList =
        namedAction(file, QStringLiteral("mnuFileExport"), tr("Export Servers..."));
    exportList->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(exportList, &QAction::triggered, this, &frmMain::exportServers);
    namedSeparator(file, QStringLiteral("mnuSep1"));
    QAction *quit = namedAction(file, QStringLiteral("mnuFileQuit"), tr("Quit"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, this, [] { ShutdownProgram(); });
    menuBar()->addMenu(file);

    // Each entry acts on the text box with the focus, else on the list of the tab in front.
    QMenu *edit = namedMenu(this, QStringLiteral("mnuEdit"), tr("Edit"));
    m_mnuEditUndo = namedAction(edit, QStringLiteral("mnuEditUndo"), tr("Undo Remove"), false);
    m_mnuEditUndo->setShortcut(QKeySequence::Undo);
    connect(m_mnuEditUndo, &QAction::triggered, this, &frmMain::editUndoRemove);
    namedSeparator(edit, QStringLiteral("mnuSepEdit"));
    m_mnuEditCopy = namedAction(edit, QStringLiteral("mnuEditCopy"), tr("Copy"), false);
    m_mnuEditCopy->setShortcut(QKeySequence::Copy);
    connect(m_mnuEditCopy, &QAction::triggered, this, &frmMain::editCopy);
    m_mnuEditCut = namedAction(edit, QStringLiteral("mnuEditCut"), tr("Cut"), false);
    m_mnuEditCut->setShortcut(QKeySequence::Cut);
    connect(m_mnuEditCut, &QAction::triggered, this, &frmMain::editCut);
    m_mnuEditPaste = namedAction(edit, QStringLiteral("mnuEditPaste"), tr("Paste"), false);
    m_mnuEditPaste->setShortcut(QKeySequence::Paste);
    connect(m_mnuEditPaste, &QAction::triggered, this, &frmMain::editPaste);
    connect(edit, &QMenu::aboutToShow, this, &frmMain::updateEditActions);
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

void frmMain::importServers() {
    CommonDialog::FileRequest request;
    request.title = tr("Import Servers");
    request.filter = tr("Server lists (*.txt *.json);;All files (*)");
    const QString path = m_dlgCommon->chooseOpenFile(request, this);
    if (!path.isEmpty())
        m_ctlGRServers->importFile(path);
}

void frmMain::exportServers() {
    CommonDialog::FileRequest request;
    request.title = tr("Export Servers");
    request.filter = tr("Server lists (*.txt);;All files (*)");
    request.fileName = QStringLiteral("servers.txt");
    request.mustExist = false;
    const QString path = m_dlgCommon->chooseSaveFile(request, this);
    if (path.isEmpty())
        return;
    // A shared list usually goes to other players: passwords only when the player says so.
    const bool withPasswords =
        m_ctlGRServers->anyPassword() &&
        m_root.prompter().ask(tr("Write the servers' passwords into the file as well? Anyone "
                                 "who has the file can read them."),
                              tr("Export Servers"), Buttons::YesNo, Icon::Question) == Answer::Yes;
    m_ctlGRServers->exportFile(path, withPasswords);
}

namespace {
// A text box of any kind, which does its own Copy, Cut and Paste.
bool isTextBox(const QWidget *widget) {
    return qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QTextEdit *>(widget) ||
           qobject_cast<const QPlainTextEdit *>(widget);
}

struct TextBoxState {
    bool selection = false;
    bool readOnly = true;
};

TextBoxState textBoxState(const QWidget *widget) {
    if (const auto *line = qobject_cast<const QLineEdit *>(widget))
        return {line->hasSelectedText(), line->isReadOnly()};
    if (const auto *text = qobject_cast<const QTextEdit *>(widget))
        return {text->textCursor().hasSelection(), text->isReadOnly()};
    if (const auto *plain = qobject_cast<const QPlainTextEdit *>(widget))
        return {plain->textCursor().hasSelection(), plain->isReadOnly()};
    return {};
}
} // namespace

QWidget *frmMain::editTarget() const {
    QWidget *focus = QApplication::focusWidget();
    if (!focus || focus->window() != this || qobject_cast<QMenu *>(focus) ||
        qobject_cast<QMenuBar *>(focus))
        focus = m_editTarget.data();
    // A text box left behind on a tab no longer in front is not the one meant.
    if (isTextBox(focus) && !(focus->isVisible() && focus->isEnabled()))
        return nullptr;
    return focus;
}

void frmMain::updateEditActions() {
    if (!m_mnuEditCopy || !m_ctlGRServers || !m_ctlRWServers)
        return;
    QWidget *target = editTarget();
    const QMimeData *clip = QGuiApplication::clipboard()->mimeData();
    const bool clipText = clip && clip->hasText() && !clip->text().isEmpty();
    bool copy = false, cut = false, paste = false, undo = false;
    const int tab = m_tabs->currentIndex();
    if (isTextBox(target)) {
        const TextBoxState state = textBoxState(target);
        copy = state.selection;
        cut = state.selection && !state.readOnly;
        paste = clipText && !state.readOnly;
    } else if (tab == TabServers) {
        copy = cut = m_ctlGRServers->hasSelection();
        paste = clipText;
    } else if (tab == TabRogerWilco) {
        copy = cut = m_ctlRWServers->hasSelection();
        paste = clipText;
    }
    if (tab == TabServers)
        undo = m_ctlGRServers->canUndoRemove();
    else if (tab == TabRogerWilco)
        undo = m_ctlRWServers->canUndoRemove();
    m_mnuEditCopy->setEnabled(copy);
    m_mnuEditCut->setEnabled(cut);
    m_mnuEditPaste->setEnabled(paste);
    m_mnuEditUndo->setEnabled(undo);
}

void frmMain::editCopy() {
    QWidget *target = editTarget();
    if (isTextBox(target))
        QMetaObject::invokeMethod(target, "copy");
    else if (m_tabs->currentIndex() == TabServers)
        m_ctlGRServers->copySelected();
    else if (m_tabs->currentIndex() == TabRogerWilco)
        m_ctlRWServers->copySelected();
    updateEditActions();
}

void frmMain::editCut() {
    QWidget *target = editTarget();
    if (isTextBox(target))
        QMetaObject::invokeMethod(target, "cut");
    else if (m_tabs->currentIndex() == TabServers)
        m_ctlGRServers->cutSelected();
    else if (m_tabs->currentIndex() == TabRogerWilco)
        m_ctlRWServers->cutSelected();
    updateEditActions();
}

void frmMain::editPaste() {
    QWidget *target = editTarget();
    if (isTextBox(target)) {
        QMetaObject::invokeMethod(target, "paste");
    } else {
        const QString text = QGuiApplication::clipboard()->text();
        if (m_tabs->currentIndex() == TabServers)
            m_ctlGRServers->pasteText(text);
        else if (m_tabs->currentIndex() == TabRogerWilco)
            m_ctlRWServers->pasteText(text);
    }
    updateEditActions();
}

void frmMain::editUndoRemove() {
    if (m_tabs->currentIndex() == TabServers)
        m_ctlGRServers->undoRemove();
    else if (m_tabs->currentIndex() == TabRogerWilco)
        m_ctlRWServers->undoRemove();
    updateEditActions();
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

void frmMain::showFindLanServers() {
    if (!m_frmFindLanServers) {
        m_frmFindLanServers = new frmFindLanServers(
            m_root,
            [this] {
                if (m_ctlGRServers)
                    m_ctlGRServers->RefreshList();
            },
            this);
        m_frmFindLanServers->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_frmFindLanServers->show();
    m_frmFindLanServers->raise();
    m_frmFindLanServers->activateWindow();
}

frmFindLanServers *frmMain::findLanServersWindow() const {
    return m_frmFindLanServers;
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
