#pragma once

#include <QMainWindow>
#include <QPointer>

class clsGRQuorvel;
class frmAbout;
class frmFindLanServers;
class frmTips;
class ctlRWServers;
class CommonDialog;
class QAction;
class QMenu;
class QPushButton;
class QTabWidget;
class QTimer;
class ctlGRServers;
class ctlQuorvel;
class ctlGameOptions;
class DesktopNotifier;
class ProgramTray;

// The program's main window: the four panes on a tab control, the menus, Quit, and the stats
// timer. Closing it ends the program.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    enum Tab { TabStats = 0, TabServers = 1, TabGameOptions = 2, TabRogerWilco = 3 };

    // `root` exists when the window is made; its collections and preferences may not yet.
    frmMain(clsGRQuorvel &root, CommonDialog *commonDialog, QWidget *parent = nullptr);
    ~frmMain() override;

    clsGRQuorvel *rootObject() const { return &m_root; }

    QTimer *statsTimer() const { return m_tmrStats; }
    CommonDialog *commonDialog() const { return m_dlgCommon; }
    QTabWidget *tabs() const { return m_tabs; }
    ctlGRServers *serversPane() const { return m_ctlGRServers; }
    ctlQuorvel *statsPane() const { return m_ctlQuorvel; }
    QMenu *statDirGamesMenu() const { return m_mnuStatDirGames; }
    QAction *statDirGamesDeleteAction() const { return m_mnuStatDirGamesDelete; }
    QAction *statDirGamesRefreshAction() const { return m_mnuStatDirGamesRefresh; }

    // File > Import Servers... and File > Export Servers...: a list file through the common
    // dialog's choosers.
    void importServers();
    void exportServers();
    // Brings the Edit menu's entries in line with the focus, the tab in front, its selection
    // and the clipboard.
    void updateEditActions();

    // Opens the options dialog modally; the preferences change as the player edits them.
    void showOptionsDialog();
    // File > Buddies...: the buddy patterns, modally.
    void showBuddies();
    // Shows the watches' events; null when the watches are off.
    DesktopNotifier *notifier() const { return m_notifier; }
    // File > Find LAN Servers...: one window, modeless, brought to front.
    void showFindLanServers();
    frmFindLanServers *findLanServersWindow() const;
    // Help > Tips... and Help > About Quorvel...: each one window, modeless, brought to front.
    void showTips();
    void showAbout();
    // Commits what the panes hold but the player has not confirmed yet (a typed player name).
    void commitEdits();
    // How the window was left (size and place where they fit the screens, the tab in front, the
    // servers list's order, widths and filters), in the state file beside the preferences.
    void saveWindowState();
    void restoreWindowState();
    frmTips *tipsWindow() const;
    frmAbout *aboutWindow() const;

    // The tray icon; null when the watches are off.
    ProgramTray *tray() const { return m_tray; }
    // Whether closing the window leaves the program watching from the tray.
    bool keepsWatchingWhenClosed() const;
    // Start-up in the tray: the window stays hidden behind the tray icon (there even with nothing
    // watched) until the player asks for it; where there is no tray, it starts minimized.
    void startInTray();
    // Whether the player can see the window: shown and not minimized.
    bool isSeen() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void buildMenus();
    void buildPanes();
    void sizeForTheServerList();
    void onLoad();
    void onTabChanged(int index);
    void connectWatches();
    // Tells the servers tab when the window starts or stops being seen.
    void followSeen();
    // What an Edit entry acts on: a text box with the focus, else the list of the tab in front.
    QWidget *editTarget() const;
    void editCopy();
    void editCut();
    void editPaste();
    void editUndoRemove();

    clsGRQuorvel &m_root;
    CommonDialog *m_dlgCommon;
    QTabWidget *m_tabs = nullptr;
    ctlGRServers *m_ctlGRServers = nullptr;
    ctlQuorvel *m_ctlQuorvel = nullptr;
    QPushButton *m_cmdQuit = nullptr;
    QTimer *m_tmrStats = nullptr;
    QMenu *m_mnuContext = nullptr;
    QMenu *m_mnuStatDirGames = nullptr;
    QAction *m_mnuStatDirGamesDelete = nullptr;
    QAction *m_mnuStatDirGamesRefresh = nullptr;
    QPointer<frmTips> m_frmTips;
    QPointer<frmAbout> m_frmAbout;
    QPointer<frmFindLanServers> m_frmFindLanServers;
    ctlRWServers *m_ctlRWServers = nullptr;
    ctlGameOptions *m_ctlGameOptions = nullptr;
    QAction *m_mnuFileBuddies = nullptr;
    QAction *m_mnuEditUndo = nullptr;
    QAction *m_mnuEditCopy = nullptr;
    QAction *m_mnuEditCut = nullptr;
    QAction *m_mnuEditPaste = nullptr;
    QPointer<QWidget> m_editTarget; // the last widget of this window with the focus
    DesktopNotifier *m_notifier = nullptr;
    ProgramTray *m_tray = nullptr;
    bool m_shownOnce = false; // hidden before the first showing is start-up, not the player
};
