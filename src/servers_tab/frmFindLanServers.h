#pragma once

#include <QDialog>

#include <functional>

class AppRoot;
class LanServerFinder;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// File > "Find LAN Servers...": searches the local network for servers (the search runs on its
// own, the window only shows what comes in), lists each one found with its address, name,
// players and map, and adds the chosen ones, or all, to the server list. Servers already in the
// list are shown greyed and cannot be added again. Modeless.
class frmFindLanServers : public QDialog {
    Q_OBJECT
public:
    enum Column { ColAddress, ColName, ColPlayers, ColMap, ColInList, ColumnCount };

    // `listChanged` is called after servers were added to the collection.
    frmFindLanServers(AppRoot &root, std::function<void()> listChanged, QWidget *parent = nullptr);
    ~frmFindLanServers() override;

    // Starts a new search (the window starts one when it is made).
    void search();
    const LanServerFinder &finder() const { return *m_finder; }

protected:
    void changeEvent(QEvent *event) override;

private:
    void showFound(int index);
    void searchEnded();
    void addRows(const QList<QTreeWidgetItem *> &rows);
    void markListed();
    void updateButtons();
    bool listed(const QString &address) const;

    AppRoot &m_root;
    std::function<void()> m_listChanged;
    LanServerFinder *m_finder;
    QTreeWidget *m_lsvLanServers;
    QLabel *m_lblLanStatus;
    QPushButton *m_cmdLanSearch;
    QPushButton *m_cmdLanAdd;
    QPushButton *m_cmdLanAddAll;
    QPushButton *m_cmdLanClose;
};
