#include "watch/DesktopNotifier.h"

#include "widgets/SystemTray.h"

#include <QApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
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
constexpr int imageSize = 48;

// The picture as the notification protocol carries it: width, height, bytes per row, alpha,
// bits per sample, channels, then the RGBA bytes.
QVariant imageData(const QIcon &icon) {
    const QImage image =
        icon.pixmap(imageSize, imageSize).toImage().convertToFormat(QImage::Format_RGBA8888);
    if (image.isNull())
        return {};
    QDBusArgument argument;
    argument.beginStructure();
    argument << image.width() << image.height() << int(image.bytesPerLine()) << true << 8 << 4
             << QByteArray(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes());
    argument.endStructure();
    return QVariant::fromValue(argument);
}

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

void DesktopNotifier::setProgram(const QString &id, const QIcon &icon, bool iconInstalled) {
    m_id = id;
    m_icon = icon;
    m_sendImage = !iconInstalled && !icon.isNull();
}

void DesktopNotifier::setTrayIcon(std::function<QSystemTrayIcon *()> trayIcon) {
    m_programTray = std::move(trayIcon);
}

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
    // The desktop groups the notifications under the program's entry and shows its icon.
    hints.insert(QStringLiteral("desktop-entry"), m_id);
    if (m_sendImage)
        hints.insert(QStringLiteral("image-data"), imageData(m_icon));
    // A notification about several servers has no one server to join.
    QStringList actions;
    if (!address.isEmpty())
        actions << joinKey << tr("Join");
    call << appName << uint(0) << m_id << appName << text << actions << hints << int(-1);
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
    if (!systemTrayAvailable()) {
        // The servers list's tool tip still tells of it.
        emit fellBack(address, false);
        return;
    }
    QSystemTrayIcon *tray = trayForMessages();
    m_trayAddress = address;
    tray->showMessage(appName, body, QSystemTrayIcon::Information, 15000);
    emit fellBack(address, true);
}

QSystemTrayIcon *DesktopNotifier::trayForMessages() {
    QSystemTrayIcon *tray = m_programTray ? m_programTray() : nullptr;
    if (tray && tray->isVisible()) {
        // The program's icon is there: a second one of the notifier's own would only confuse.
        if (m_tray)
            m_tray->hide();
    } else {
        if (!m_tray) {
            m_tray = new QSystemTrayIcon(this);
            m_tray->setIcon(m_icon.isNull()
                                ? QApplication::style()->standardIcon(QStyle::SP_ComputerIcon)
                                : m_icon);
            m_tray->setToolTip(appName);
        }
        m_tray->show();
        tray = m_tray;
    }
    if (m_clickable != tray) {
        if (m_clickable)
            disconnect(m_clickable, &QSystemTrayIcon::messageClicked, this, nullptr);
        m_clickable = tray;
        // Clicking the message joins the server it told of, as the notification's action does.
        connect(tray, &QSystemTrayIcon::messageClicked, this, [this] {
            if (!m_trayAddress.isEmpty())
                emit joinRequested(m_trayAddress);
        });
    }
    return tray;
}
