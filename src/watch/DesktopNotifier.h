#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

class QSystemTrayIcon;

// Shows the watches' events on the desktop: through the desktop's notification service on the
// session bus, with a "Join" action; where the bus has no such service, as a tray message when
// there is a tray. Never waits on the bus and never opens a box.
class DesktopNotifier : public QObject {
    Q_OBJECT
public:
    explicit DesktopNotifier(QObject *parent = nullptr);
    ~DesktopNotifier() override;

    // The bus to use instead of the session bus (which is looked for at the first notification).
    void setConnection(const QDBusConnection &bus);

    // How the notifications name the program: `id` is both its icon's name and its desktop
    // entry's. Where the desktop cannot find the icon by that name (`iconInstalled` false), the
    // picture goes along with each notification.
    void setProgram(const QString &id, const QIcon &icon, bool iconInstalled);
    // The program's own tray icon, which shows the messages when there is no notification
    // service (null while it has none); without it the notifier makes one of its own.
    void setTrayIcon(std::function<QSystemTrayIcon *()> trayIcon);

    // Shows one notification about the server at `address` (with a Join action unless the
    // address is empty).
    void notify(const QString &address, const QString &body);

signals:
    // The player chose to join the server from a notification.
    void joinRequested(const QString &address);
    // The notification service could not show it: the tray did, or nothing could.
    void fellBack(const QString &address, bool shownInTray);

private slots:
    void onActionInvoked(uint id, const QString &actionKey);
    void onNotificationClosed(uint id, uint reason);

private:
    bool ensureConnection();
    void fallBack(const QString &address, const QString &body);
    QSystemTrayIcon *trayForMessages();

    std::optional<QDBusConnection> m_bus;
    bool m_listening = false;
    bool m_markup = true;         // until the service says otherwise, bodies are escaped
    QHash<uint, QString> m_shown; // notification id -> server address
    QString m_id = QStringLiteral("grquorvel");
    QIcon m_icon;
    bool m_sendImage = false;
    std::function<QSystemTrayIcon *()> m_programTray;
    QSystemTrayIcon *m_tray = nullptr;     // the notifier's own, when the program has none
    QPointer<QSystemTrayIcon> m_clickable; // the icon whose message clicks join
    QString m_trayAddress;
};
