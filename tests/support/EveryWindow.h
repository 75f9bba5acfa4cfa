#pragma once

#include "app/GameChooser.h"
#include "app/clsGRQuorvel.h"
#include "app/frmMain.h"
#include "servers_tab/frmPingAll.h"
#include "servers_tab/frmServerInfo.h"
#include "watch/WatchDialog.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <functional>

// Opens the program's windows one after the other and calls `look` while each shows: the main
// window, what each entry of the menu bar opens (Quit aside; a modal window is looked at from
// inside and then closed), and the windows the panes open and the one asking which game to use.
inline void openEveryWindow(frmMain &main, const std::function<void()> &look) {
    const auto lookAndCloseModal = [&] {
        look();
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    };
    look();
    for (QAction *top : main.menuBar()->actions()) {
        if (!top->menu())
            continue;
        for (QAction *entry : top->menu()->actions()) {
            if (entry->isSeparator() || !entry->isEnabled() || entry->menu() ||
                entry->objectName() == u"mnuFileQuit")
                continue;
            QTimer::singleShot(0, lookAndCloseModal);
            entry->trigger();
            QApplication::processEvents();
        }
    }
    look();
    frmPingAll pingAll(*main.rootObject(), &main);
    frmServerInfo info(*main.rootObject(), &main);
    GameChooser chooser({QStringLiteral("/a/GR"), QStringLiteral("/b/GR")});
    WatchDialog watch(QStringLiteral("Night Ops (127.0.0.11)"), ServerWatch{}, &main);
    for (QWidget *w : std::initializer_list<QWidget *>{&pingAll, &info, &chooser, &watch}) {
        // Looked at as it opens (the ping window may finish and close at once) and once laid out.
        w->show();
        look();
        QApplication::processEvents();
        look();
        w->hide();
    }
}
