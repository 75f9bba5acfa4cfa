#pragma once

#include "app/QtAppShell.h"
#include "app/clsGRQuorvel.h"
#include "app/frmMain.h"
#include "platform/ProcessLauncher.h"
#include "servers/clsGRServers.h"
#include "servers/clsGlobalGRControls.h"
#include "servers_tab/ServerListModel.h"
#include "servers_tab/ctlGRServers.h"
#include "support/GameDir.h"
#include "support/ProgramRun.h"
#include "support/RealInput.h"
#include "support/ScriptedPrompter.h"
#include "support/Widgets.h"

#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// The real launcher, counting what it is asked to start.
struct CountingLauncher : platform::DetachedProcessLauncher {
    qint64 start(const platform::LaunchRequest &request) override {
        ++started;
        return DetachedProcessLauncher::start(request);
    }
    int started = 0;
};

// The whole program up to its main window on a throw-away game directory, started with
// -noStartupPing and the given timings. `prepare` runs on the directory before start-up.
struct WindowApp {
    struct Settings {
        Timing timing;
        GameDir::Contents contents = {.optionsXml = false};
        std::function<void(GameDir &)> prepare = {};
        bool serversInFront = true;
        CommonDialog *commonDialog = nullptr; // the main window takes it
        bool active = false;                  // waits until the main window has the keyboard
    };

    explicit WindowApp(const Settings &settings)
        : dir(settings.contents) {
        if (settings.prepare)
            settings.prepare(dir);
        root = std::make_unique<clsGRQuorvel>(startupOn(dir.root()), prompter, launcher,
                                              settings.timing);
        shell = std::make_unique<QtAppShell>(*root, settings.commonDialog);
        EXPECT_EQ(root->Startup(*shell), clsGRQuorvel::StartupResult::Running);
        main = shell->mainWindow();
        tab = main->serversPane();
        if (settings.serversInFront)
            main->tabs()->setCurrentIndex(frmMain::TabServers);
        if (settings.active) {
            main->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(main));
        }
    }

    // The control `name` of the servers tab, else of the main window (the voice tab has
    // controls of the same names).
    template <typename T> T *find(const char *name) const {
        T *w = tab->findChild<T *>(QString::fromLatin1(name));
        return w ? w : named<T>(*main, name);
    }

    // Adds a server the way the add command does: a free slot first, then AddServer.
    clsGRServer *add(const QString &ip, const QString &name = {},
                     const QString &password = {}) const {
        const auto slot = root->GRServerControls()->fnNextTimerAndWinsock();
        return root->GRServers()->AddServer(ip, name, password, slot.value_or(-1));
    }

    // The cell of the server `key` in `column` where the list shows it.
    QModelIndex shownAt(const QString &key, int column = 1) const {
        return tab->sortModel()->mapFromSource(
            tab->listModel()->index(tab->listModel()->rowOfKey(key), column));
    }
    // Clicks the row of the server `key` in the list, as the player does.
    void clickRow(const QString &key) const {
        QTest::mouseClick(tab->listView()->viewport(), Qt::LeftButton, {},
                          tab->listView()->visualRect(shownAt(key)).center());
    }
    // The tool tip the list itself shows over the server's row.
    QString toolTip(const QString &key) const {
        return realInput::toolTipAt(tab->listView(), shownAt(key));
    }
    void clickHeader(int column) const {
        QHeaderView *header = tab->listView()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, 5));
    }
    // The last number of each row's address as the list shows them, top to bottom.
    QString order() const {
        QStringList last;
        for (int r = 0; r < tab->sortModel()->rowCount(); ++r)
            last << tab->sortModel()->index(r, 0).data().toString().section(u'.', 3);
        return last.join(u' ');
    }

    GameDir dir;
    ScriptedPrompter prompter;
    CountingLauncher launcher;
    std::unique_ptr<clsGRQuorvel> root;
    std::unique_ptr<QtAppShell> shell;
    frmMain *main = nullptr;
    ctlGRServers *tab = nullptr;
};
