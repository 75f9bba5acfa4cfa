#include "app/ProgramTray.h"

#include "app/ProgramIcon.h"
#include "app/basMain.h"
#include "app/clsGRQuorvel.h"
#include "app/frmMain.h"
#include "servers/clsGRServer.h"
#include "servers/clsGRServers.h"
#include "servers/clsGlobalGRControls.h"
#include "servers_tab/ctlGRServers.h"
#include "watch/WatchEngine.h"
#include "widgets/NamedWidgets.h"
#include "widgets/SystemTray.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>

#include <algorithm>

ProgramTray::ProgramTray(clsGRQuorvel &root, frmMain &main)
    : QObject(&main)
    , m_root(root)
    , m_main(main)
    , m_menu(new QMenu(&main)) {
    m_menu->setObjectName(QStringLiteral("mnuTray"));
    // Built afresh each time so that it names the servers as they are now.
    connect(m_menu, &QMenu::aboutToShow, this, &ProgramTray::rebuildMenu);
    rebuildMenu();
    if (WatchEngine *watches = m_root.Watches())
        connect(watches, &WatchEngine::watchesChanged, this, &ProgramTray::update);
    if (clsGlobalGRControls *pool = m_root.GRServerControls())
        connect(pool, &clsGlobalGRControls::queryEnded, this, [this](const QString &address) {
            WatchEngine *watches = m_root.Watches();
            if (m_icon && m_shown && watches && watches->isWatched(address))
                m_icon->setToolTip(toolTip());
        });
    update();
}

ProgramTray::~ProgramTray() = default;

QString ProgramTray::serverCaption(const QString &address) const {
    const clsGRServer *record = m_root.GRServers() ? m_root.GRServers()->Item(address) : nullptr;
    if (!record)
        return address;
    const QString &name = record->Name();
    return name.isEmpty() || name == record->IP()
               ? record->IP()
               : name + QStringLiteral(" (") + record->IP() + u')';
}

QString ProgramTray::toolTip() const {
    QStringList lines{QStringLiteral("GRQuorvel")};
    const WatchEngine *watches = m_root.Watches();
    if (!watches)
        return lines.front();
    QStringList addresses = watches->watchedAddresses();
    std::sort(addresses.begin(), addresses.end());
    for (const QString &address : std::as_const(addresses)) {
        const clsGRServer *record =
            m_root.GRServers() ? m_root.GRServers()->Item(address) : nullptr;
        QString line = serverCaption(address);
        if (record && record->status() == clsGRServer::Answered) {
            line += QStringLiteral(": ") + record->PlayerCountString();
            QStringList players;
            for (const QString &player : record->Players())
                players << player;
            if (!players.isEmpty())
                line += QStringLiteral(" (") + players.join(QStringLiteral(", ")) + u')';
        } else if (record && record->status() == clsGRServer::NoReply) {
            line += tr(": no answer");
        }
        lines << line;
    }
    if (!watches->buddies().isEmpty())
        lines << tr("Buddies: %1").arg(watches->buddies().join(QStringLiteral(", ")));
    return lines.join(u'\n');
}

void ProgramTray::rebuildMenu() {
    m_menu->clear();
    if (const WatchEngine *watches = m_root.Watches()) {
        QStringList addresses = watches->watchedAddresses();
        std::sort(addresses.begin(), addresses.end());
        for (const QString &address : std::as_const(addresses)) {
            QAction *join =
                namedAction(m_menu, QStringLiteral("mnuTrayServer"), serverCaption(address));
            join->setData(address);
            connect(join, &QAction::triggered, this, [this, address] {
                if (ctlGRServers *pane = m_main.serversPane())
                    pane->launchServer(address);
            });
        }
        if (!addresses.isEmpty())
            m_menu->addSeparator();
    }
    QAction *show = namedAction(m_menu, QStringLiteral("mnuTrayShow"), tr("Show GRQuorvel"));
    connect(show, &QAction::triggered, this, &ProgramTray::showMainWindow);
    QAction *quit = namedAction(m_menu, QStringLiteral("mnuTrayQuit"), tr("Quit"));
    connect(quit, &QAction::triggered, this, [] { ShutdownProgram(); });
}

void ProgramTray::update() {
    const WatchEngine *watches = m_root.Watches();
    const bool wanted =
        (m_untilWindowShown || (watches && watches->watchesAnything())) && systemTrayAvailable();
    if (wanted && !m_icon) {
        m_icon = new QSystemTrayIcon(programIcon(), this);
        m_icon->setContextMenu(m_menu);
        connect(m_icon, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::Trigger ||
                        reason == QSystemTrayIcon::DoubleClick)
                        showMainWindow();
                });
    }
    m_shown = wanted;
    if (!m_icon)
        return;
    m_icon->setToolTip(toolTip());
    m_icon->setVisible(wanted);
    // The last watch went while the window was away: with nothing left to watch, it comes back.
    if (!wanted && !m_main.isVisible() && !shutdownInProgress())
        showMainWindow();
}

bool ProgramTray::keepUntilWindowShown() {
    m_untilWindowShown = true;
    update();
    return m_shown;
}

void ProgramTray::windowShown() {
    if (!m_untilWindowShown)
        return;
    m_untilWindowShown = false;
    update();
}

void ProgramTray::showMainWindow() {
    if (m_main.isMinimized())
        m_main.showNormal();
    else
        m_main.show();
    m_main.raise();
    m_main.activateWindow();
}
