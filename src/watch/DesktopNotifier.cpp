#include "watch/DesktopNotifier.h"

#include <QApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QVariantMap>

namespace {
const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");
const QString appName = QStringLiteral("GRQuorvel");
const QString joinKey = QStringLiteral("join");
constexpr int callTimeoutMs = 5000;

// Whether a session bus can be reached without starting one: looking for the bus with no
// address known would have the bus library start a bus of its own and wait for it.
bool sessionBusKnown() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}
} // namespace

DesktopNotifier::DesktopNotifier(QObject *parent)
    : QObject(parent) {}

DesktopNotifier::~DesktopNotifier() = default;

void DesktopNotifier::setConnection(const QDBusConnection &bus) {
    if (m_bus && m_listening) {
        m_bus->disconnect(QString(), path, interface, QStringLiteral("ActionInvoked"), this,
                          SLOT(onActionInvoked(uint, QString)));
        m_bus->disconnect(QString(), path, interface, QStringLiteral("NotificationClosed"), this,
                          SLOT(onNotificationClosed(uint, uint)));
    }
    m_bus = bus;
    m_listening = false;
    m_shown.clear();
}

bool DesktopNotifier::ensureConnection() {
    if (!m_bus) {
        if (!sessionBusKnown())
            return false;
        m_bus = QDBusConnection::sessionBus();
    }
    if (!m_bus->isConnected())
        return false;
    if (!m_listening) {
        // Signals of any sender: the ids tell ours apart, and naming the service would mean
        // asking the bus for its owner and waiting for the answer.
        m_bus->connect(QString(), path, interface, QStringLiteral("ActionInvoked"), this,
                       SLOT(onActionInvoked(uint, QString)));
        m_bus->connect(QString(), path, interface, QStringLiteral("NotificationClosed"), this,
                       SLOT(onNotificationClosed(uint, uint)));
        m_listening = true;
        QDBusMessage ask = QDBusMessage::createMethodCall(service, path, interface,
                                                          QStringLiteral("GetCapabilities"));
        auto *watcher = new QDBusPendingCallWatcher(m_bus->asyncCall(ask, callTimeoutMs), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [this](QDBusPendingCallWatcher *call) {
                    const QDBusPendingReply<QStringList> reply = *call;
                    if (!reply.isError())
                        m_markup = reply.value().contains(QStringLiteral("body-markup"));
                    call->deleteLater();
                });
    }
    return true;
}

void DesktopNotifier::notify(const QString &address, const QString &body) {
    if (!ensureConnection()) {
        fallBack(address, body);
        return;
    }
    // Server names come from the network: never let them be read as markup.
    const QString text = m_markup ? body.toHtmlEscaped() : body;
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("grquorvel"));
    // A notification about several servers has no one server to join.
    QStringList actions;
    if (!address.isEmpty())
        actions << joinKey << tr("Join");
    call << appName << uint(0) << QStringLiteral("grquorvel") << appName << text << actions << hints
         << int(-1);
    auto *watcher = new QDBusPendingCallWatcher(m_bus->asyncCall(call, callTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, address, body](QDBusPendingCallWatcher *pending) {
                const QDBusPendingReply<uint> reply = *pending;
                if (reply.isError())
                    fallBack(address, body);
                else
                    m_shown.insert(reply.value(), address);
                pending->deleteLater();
            });
}

void DesktopNotifier::onActionInvoked(uint id, const QString &actionKey) {
    const auto it = m_shown.constFind(id);
    if (it == m_shown.constEnd() || actionKey != joinKey)
        return;
    emit joinRequested(*it);
}

void DesktopNotifier::onNotificationClosed(uint id, uint) {
    m_shown.remove(id);
}

void DesktopNotifier::fallBack(const QString &address, const QString &body) {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        // The servers list's tool tip still tells of it.
        emit fellBack(address, false);
        return;
    }
    if (!m_tray) {
        m_tray = new QSystemTrayIcon(this);
        QIcon icon = QIcon::fromTheme(QStringLiteral("grquorvel"));
        if (icon.isNull())
            icon = QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
        m_tray->setIcon(icon);
        m_tray->setToolTip(appName);
        // Clicking the message joins the server it told of, as the notification's action does.
        connect(m_tray, &QSystemTrayIcon::messageClicked, this, [this] {
            if (!m_trayAddress.isEmpty())
                emit joinRequested(m_trayAddress);
        });
        m_tray->show();
    }
    m_trayAddress = address;
    m_tray->showMessage(appName, body, QSystemTrayIcon::Information, 15000);
    emit fellBack(address, true);
}
