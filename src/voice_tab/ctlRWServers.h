#pragma once

#include "servers/ServerListFile.h"

#include <QWidget>

#include <functional>
#include <vector>

class AppRoot;
class clsRWServer;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

// The Roger Wilco tab: the player's voice channels, with Add and Edit pages, and joining a
// channel by starting Roger Wilco.
class ctlRWServers : public QWidget {
    Q_OBJECT
public:
    explicit ctlRWServers(AppRoot &root, QWidget *parent = nullptr);

    // Rebuilds the list from the channel collection.
    void RefreshList();
    // Opens the options dialog (set by the main window).
    void setOpenOptions(std::function<void()> openOptions) {
        m_openOptions = std::move(openOptions);
    }

    void Add();
    void Save();
    void Remove();
    void Launch();

    // Copy, Cut and Paste of the Edit menu while the list, not a text box, is in use: the
    // channel and its name as text; Paste adds every channel found in the text.
    bool hasSelection() const { return selectedRow() != nullptr; }
    void copySelected() const;
    void cutSelected();
    void pasteText(const QString &text);
    // The channels removed this run, the last one first back.
    bool canUndoRemove() const { return !m_removed.empty(); }
    void undoRemove();

signals:
    // The selection, the rows or what Undo Remove can bring back changed.
    void editStateChanged();

private:
    void selectKey(const QString &key);
    void UpdateList();
    void rowClicked(QTreeWidgetItem *row);
    void showContextMenu(const QPoint &pos);
    // The record behind the selected row (nullptr without one).
    clsRWServer *selectedRecord() const;
    QTreeWidgetItem *selectedRow() const;
    bool hasChannels() const;

    AppRoot &m_root;
    std::function<void()> m_openOptions;
    QTreeWidget *m_list = nullptr;
    QTabWidget *m_pages = nullptr;
    QLineEdit *m_txtAddIP = nullptr;
    QLineEdit *m_txtAddName = nullptr;
    QLineEdit *m_txtAddPassword = nullptr;
    QLineEdit *m_txtEditIP = nullptr;
    QLineEdit *m_txtEditName = nullptr;
    QLineEdit *m_txtEditPassword = nullptr;
    QPushButton *m_cmdRemove = nullptr;
    QMenu *m_menu = nullptr;
    QAction *m_mnuLaunch = nullptr;
    QAction *m_mnuRemove = nullptr;
    std::vector<ServerListEntry> m_removed;
};
