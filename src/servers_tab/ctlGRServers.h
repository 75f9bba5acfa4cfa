#pragma once

#include "servers/ServerListFile.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

class QAbstractProxyModel;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
class QTableView;
class QTimer;
class QToolButton;
class StateFile;
class ServerListModel;
class ServerFilterProxy;
struct ServerFilter;
class AppRoot;
class clsGRServer;
class frmServerInfo;

// The Ghost Recon servers tab: the live list of servers, the Add and Edit pages, and the
// commands that act on the selected server, joining it included.
class ctlGRServers : public QWidget {
    Q_OBJECT
public:
    // `root` exists when the tab is made; its server collection may not yet.
    explicit ctlGRServers(AppRoot &root, QWidget *parent = nullptr);
    ~ctlGRServers() override;

    // Tells the tab whether it is the one in front (the periodic re-query runs only then).
    void setInFront(std::function<bool()> inFront) { m_inFront = std::move(inFront); }
    // Tells the tab whether its window can be seen at all. While it cannot (hidden, minimized)
    // the rows are left as they are and nothing is re-queried; when it can again, the rows are
    // brought up to date and, with the tab in front, every server is asked at once.
    void setWindowSeen(bool seen);
    bool windowSeen() const { return m_windowSeen; }

    // Rebuilds the rows from the collection (nothing while there is no collection yet).
    void RefreshList();
    // Brings every row up to date, sets the buttons, and re-queries every 25th time.
    void tmrListStatusRefresh_Timer();

    void cmdAddServer_Click();
    void cmdEditServer_Click();
    void cmdRefresh_Click();
    void cmdRefreshAll_Click();
    void cmdInfo_Click();
    void cmdRemove_Click();
    void cmdLaunch_Click();
    // Opens "Watch Server" for the selected server.
    void cmdWatch_Click();
    // Starts the game to join the server under `key`, as Launch does for the selected one. The
    // player joined by hand: an automatic join of that server is off.
    void launchServer(const QString &key);
    // The same for an automatic join: never while a game started from here still runs, and
    // never with a box. Empty text when the game started, else why not.
    QString joinByItself(const QString &key);

    ServerListModel *listModel() const { return m_model; }
    // The rows as shown: sorted, and narrowed by the filter.
    QAbstractProxyModel *sortModel() const;
    // What the list is narrowed to; setting it also sets the search box and the check boxes.
    const ServerFilter &filter() const;
    void setFilter(const ServerFilter &filter);
    // Sorts by the column `key` (a hidden sort key for Ping, Players and Time Left).
    void setSort(int key, Qt::SortOrder order);
    // The sort, the column widths, the filters and the search text, kept across runs.
    void saveState(StateFile &state) const;
    void restoreState(const StateFile &state);
    // "12 of 480 servers shown, 468 hidden by filters"
    QString countLine() const;
    QTableView *listView() const { return m_lsvGRServers; }
    // The size the list needs to show every column and `rows` rows without scrolling.
    QSize listSizeForRows(int rows) const;
    QMenu *contextMenu() const { return m_mnuGRS; }
    frmServerInfo *infoWindow() const;
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }
    int tickCount() const { return m_lngTickCount; }

    // The key (IP text) of the selected row, or empty text.
    QString selectedKey() const;

    // What adding a list of servers came to.
    struct AddCount {
        int added = 0;
        int skipped = 0; // already in the list
        int unreadable = 0;
    };
    // Adds every server read that is not in the list yet, and asks each new one for its game.
    AddCount addServers(const ServerListReading &reading);
    // Adds the servers of a list file (chosen through Import, or dropped on the list) and says
    // how many were added, skipped and unreadable.
    void importFile(const QString &path);
    // Writes every server, in list order, to a list file; false when it could not be written
    // (the player was told).
    bool exportFile(const QString &path, bool withPasswords);
    // Whether any server has a password to leave out of an export or put in it.
    bool anyPassword() const;

    // Copy, Cut and Paste of the Edit menu while the list, not a text box, is in use.
    bool hasSelection() const { return !selectedKey().isEmpty(); }
    void copySelected() const;
    void cutSelected();
    void pasteText(const QString &text);
    // The servers removed this run, the last one first back.
    bool canUndoRemove() const { return !m_removed.empty(); }
    void undoRemove();

signals:
    // The selection, the rows or what Undo Remove can bring back changed.
    void editStateChanged();

public:
    // The tool tip of the row of `key`: the list's own, then what is watched there and its last
    // event, then what the history knows of it. The list model shows it; nothing else does.
    QString rowToolTip(const QString &key) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildList();
    QWidget *buildFilterBar();
    void applyFilter();
    void updateCountLine();
    void lookForBuddies();
    void buildPages();
    void buildMenu();
    void onColumnClicked(int column);
    void onRowClicked(int sourceRow);
    void showContextMenu(const QPoint &globalPosition);
    void resort();
    clsGRServer *selectedRecord() const;
    bool run(const std::function<void()> &step);
    // Starts the game on the server's record; throws QuorvelError when it cannot.
    void startGame(const clsGRServer &record);
    void buildKeys();
    void selectKey(const QString &key);

    AppRoot &m_root;
    std::function<bool()> m_inFront;
    int m_lngTickCount = 0;
    bool m_windowSeen = true;
    int m_sortColumn = 6;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;

    ServerListModel *m_model;
    ServerFilterProxy *m_proxy;
    QTableView *m_lsvGRServers = nullptr;
    QTimer *m_tmrListStatusRefresh = nullptr;
    QLineEdit *m_txtSearch = nullptr;
    QCheckBox *m_chkHideEmpty = nullptr;
    QCheckBox *m_chkHideFull = nullptr;
    QCheckBox *m_chkHideSilent = nullptr;
    QCheckBox *m_chkHidePassworded = nullptr;
    QComboBox *m_cboGameMode = nullptr;
    QLabel *m_lblServerCount = nullptr;
    bool m_settingFilter = false;
    QTabWidget *m_tabControls = nullptr;
    QLineEdit *m_txtAddIP = nullptr;
    QLineEdit *m_txtAddPassword = nullptr;
    QLabel *m_lblEditName = nullptr;
    QLineEdit *m_txtEditName = nullptr;
    QLineEdit *m_txtEditPassword = nullptr;
    QPushButton *m_cmdInfo = nullptr;
    QPushButton *m_cmdRemove = nullptr;
    QMenu *m_mnuGRS = nullptr;
    QAction *m_mnuLaunch = nullptr;
    QAction *m_mnuRefresh = nullptr;
    QAction *m_mnuInfo = nullptr;
    QAction *m_mnuWatch = nullptr;
    QAction *m_mnuRemove = nullptr;
    QAction *m_mnuRefreshAll = nullptr;
    QPointer<frmServerInfo> m_info;
    qint64 m_gameProcess = 0; // the game started last, while it runs
    std::vector<ServerListEntry> m_removed;
};
