#include "app/QtAppShell.h"

#include "app/GameChooser.h"
#include "app/basMain.h"
#include "app/clsGRQuorvel.h"
#include "app/frmMain.h"
#include "app/frmTips.h"
#include "servers_tab/ctlGRServers.h"
#include "servers_tab/frmPingAll.h"
#include "stats/clsTrackStats.h"
#include "stats/ctlQuorvel.h"
#include "widgets/CommonDialog.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

QtAppShell::QtAppShell(clsGRQuorvel &root, CommonDialog *commonDialog)
    : m_root(root)
    , m_commonDialog(commonDialog) {}

QtAppShell::~QtAppShell() {
    while (m_busyDepth > 0)
        setBusy(false);
}

void QtAppShell::setBusy(bool busy) {
    if (busy) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
        ++m_busyDepth;
    } else if (m_busyDepth > 0) {
        QGuiApplication::restoreOverrideCursor();
        --m_busyDepth;
    }
}

std::optional<QString> QtAppShell::chooseGame(const QStringList &gameDirectories) {
    GameChooser chooser(gameDirectories);
    if (chooser.exec() != QDialog::Accepted || chooser.chosen().isEmpty())
        return std::nullopt;
    return chooser.chosen();
}

void QtAppShell::processEvents() {
    QCoreApplication::processEvents();
}

void QtAppShell::createMainWindow() {
    if (!m_main)
        m_main =
            std::make_unique<frmMain>(m_root, m_commonDialog ? m_commonDialog : new CommonDialog);
}

QTimer *QtAppShell::statsTimer() {
    return m_main ? m_main->statsTimer() : nullptr;
}

void QtAppShell::showTipsModal() {
    frmTips tips(m_root, m_main.get());
    tips.ShowNextTip();
    tips.exec();
}

void QtAppShell::showPingAllModal() {
    frmPingAll pingAll(m_root, m_main.get());
    pingAll.exec();
}

void QtAppShell::readyMainWindow() {
    if (clsTrackStats *recorder = m_root.TrackStats(); recorder && m_main->statsPane()) {
        QObject::connect(recorder, &clsTrackStats::recordingFailed, m_main->statsPane(),
                         &ctlQuorvel::showRecordingFailure);
        QObject::connect(recorder, &clsTrackStats::recordingResumed, m_main->statsPane(),
                         &ctlQuorvel::recordingResumed);
        if (!recorder->failure().isEmpty())
            m_main->statsPane()->showRecordingFailure(recorder->failure());
    }
    // The servers tab was made before the preferences filled the collection.
    if (m_main->serversPane())
        m_main->serversPane()->RefreshList();
    m_main->restoreWindowState();
    m_mainPlaced = true;
}

void QtAppShell::showMainWindow() {
    readyMainWindow();
    m_main->show();
}

void QtAppShell::keepMainWindowInTray() {
    readyMainWindow();
    m_main->startInTray();
}

void QtAppShell::commitEdits() {
    if (m_main) {
        m_main->commitEdits();
        m_main->saveWindowState();
    }
}

void QtAppShell::releaseWindows() {
    m_main.reset();
}

void QtAppShell::unloadMainWindow() {
    if (m_main && m_main->isVisible())
        m_main->close();
}

void QtAppShell::bringToFront() {
    // A box or dialog of start-up or of the player's is what the player has to see first.
    QWidget *window = QApplication::activeModalWidget();
    if (!window && m_main && m_mainPlaced && !m_main->isVisible() && !shutdownInProgress())
        m_main->show(); // waiting in the tray
    if (!window && m_main && m_main->isVisible())
        window = m_main.get();
    if (!window)
        return;
    if (window->isMinimized())
        window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->raise();
    window->activateWindow();
    // Where the desktop does not let a program take the focus, it at least marks the window.
    QApplication::alert(window);
}
