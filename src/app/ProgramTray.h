#pragma once

#include <QObject>
#include <QPointer>

class QMenu;
class QSystemTrayIcon;
class clsGRQuorvel;
class frmMain;

// The program's icon in the desktop's tray, there while something is watched (a server or a
// buddy): its tool tip names the watched servers and their players, its menu joins one of them,
// shows the main window again or quits.
class ProgramTray : public QObject {
    Q_OBJECT
public:
    ProgramTray(clsGRQuorvel &root, frmMain &main);
    ~ProgramTray() override;

    // Whether the icon is in the tray now.
    bool isShown() const { return m_shown; }
    QString toolTip() const;
    QMenu *menu() const { return m_menu; }
    // The icon itself; null until it was first shown.
    QSystemTrayIcon *icon() const { return m_icon; }
    // Brings the icon, its tool tip and its menu up to date.
    void update();
    // Shows the icon, whatever is watched, until the main window shows; false when it cannot.
    bool keepUntilWindowShown();
    // The main window showed: the icon stays only while something is watched.
    void windowShown();

private:
    void rebuildMenu();
    void showMainWindow();
    QString serverCaption(const QString &address) const;

    clsGRQuorvel &m_root;
    frmMain &m_main;
    QMenu *m_menu;
    QSystemTrayIcon *m_icon = nullptr; // made when first needed
    bool m_shown = false;
    bool m_untilWindowShown = false;
};
