#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QString>

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

    std::optional<QDBusConnection> m_bus;
    bool m_listening = false;
    bool m_markup = true;         // until the service says otherwise, bodies are escaped
    QHash<uint, QString> m_shown; // notification id -> server address
    QSystemTrayIcon *m_tray = nullptr;
    QString m_trayAddress;
};
