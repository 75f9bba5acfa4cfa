#include "app/GameChooser.h"
#include "widgets/MessageBoxPrompter.h"
#include "app/clsGRQuorvel.h"
#include "app/frmMain.h"
#include "servers_tab/frmPingAll.h"
#include "servers_tab/frmServerInfo.h"
#include "support/GameDir.h"
#include "support/ProgramRun.h"
#include "support/ScriptedPrompter.h"
#include "watch/WatchDialog.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QScreen>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

// The windows open within the screen whatever its size and the desktop's scale. The program
// runs as a child on a screen of the test's choosing.

namespace {

bool inScrollArea(const QWidget *w) {
    for (const QWidget *p = w->parentWidget(); p; p = p->parentWidget())
        if (qobject_cast<const QScrollArea *>(p))
            return true;
    return false;
}

// "window: what lies outside" for every window shown now whose frame, or one of whose buttons,
// is not within the available part of its screen.
QStringList outsideTheScreen() {
    QStringList found;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!window->isVisible() || qobject_cast<QMenu *>(window))
            continue;
        const QRect area = window->screen()->availableGeometry();
        const QString name = window->objectName().isEmpty()
                                 ? QString::fromLatin1(window->metaObject()->className())
                                 : window->objectName();
        const auto text = [](const QRect &r) {
            return QStringLiteral("%1x%2 at %3,%4")
                .arg(r.width())
                .arg(r.height())
                .arg(r.x())
                .arg(r.y());
        };
        if (!area.contains(window->frameGeometry()))
            found << QStringLiteral("%1: %2 on %3")
                         .arg(name, text(window->frameGeometry()), text(area));
        // A button inside a scrolled pane may lie beyond the pane's edge; the others must show.
        for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
            if (!button->isVisible() || inScrollArea(button) || button->window() != window)
                continue;
            const QRect at(button->mapToGlobal(QPoint(0, 0)), button->size());
            if (!area.contains(at))
                found << QStringLiteral("%1/%2: %3 on %4")
                             .arg(name, button->objectName(), text(at), text(area));
        }
    }
    return found;
}

} // namespace

// Not run on its own: every window of the program, on the screen the child was given.
TEST(ScreenFit, DISABLED_EveryWindowOpensWithinTheScreen) {
    GameDir dir({.missionStats = true});
    ScriptedPrompter prompter;
    QStringList outside;
    // A window may be placed again once it has shown (as a message box sizes itself then).
    const auto look = [&] {
        (void)QTest::qWaitFor([] { return outsideTheScreen().isEmpty(); }, 2000);
        outside += outsideTheScreen();
    };
    runProgramOn(dir, prompter, [&](frmMain &main) {
        clsGRQuorvel &root = *main.rootObject();
        look();
        // The windows the menus open; a modal one is looked at from inside and then closed.
        for (QAction *top : main.menuBar()->actions()) {
            if (!top->menu())
                continue;
            for (QAction *entry : top->menu()->actions()) {
                if (entry->isSeparator() || !entry->isEnabled() || entry->menu() ||
                    entry->objectName() == u"mnuFileQuit")
                    continue;
                QTimer::singleShot(0, [&] {
                    look();
                    if (QWidget *modal = QApplication::activeModalWidget())
                        modal->close();
                });
                entry->trigger();
                QApplication::processEvents();
            }
        }
        look();
        // The windows the panes open, the one asking which game to use, a message box.
        frmPingAll pingAll(root, &main);
        frmServerInfo info(root, &main);
        GameChooser chooser({QStringLiteral("/a/GR"), QStringLiteral("/b/GR")});
        WatchDialog watch(QStringLiteral("Night Ops (127.0.0.11)"), ServerWatch{}, &main);
        for (QWidget *w : std::initializer_list<QWidget *>{&pingAll, &info, &chooser, &watch}) {
            w->show();
            QApplication::processEvents();
            look();
            w->hide();
        }
        QTimer::singleShot(0, [&] {
            look();
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        MessageBoxPrompter().ask(QString(2000, u'x'), titles::error, Buttons::RetryCancel,
                                 Icon::Critical);
    });
    outside.removeDuplicates();
    EXPECT_TRUE(outside.isEmpty()) << outside.join(u'\n').toStdString();
}

TEST(ScreenFit, EveryWindowOpensWithinTheScreenAtAnyScale) {
    const struct {
        int width, height;
        const char *scale;
    } screens[] = {{1600, 1000, "2"}, {1366, 768, "1.5"}, {1024, 600, "1"}};
    for (const auto &s : screens) {
        SCOPED_TRACE(QStringLiteral("%1x%2 at %3")
                         .arg(s.width)
                         .arg(s.height)
                         .arg(QLatin1String(s.scale))
                         .toStdString());
        QTemporaryDir dir;
        const QString config = dir.filePath(QStringLiteral("screen.json"));
        QFile file(config);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral(R"({"screens": [{"name": "screen", "x": 0, "y": 0,
            "width": %1, "height": %2, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                       .arg(s.width)
                       .arg(s.height)
                       .toUtf8());
        file.close();
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"),
                   QStringLiteral("offscreen:configfile=") + config);
        env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::fromLatin1(s.scale));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(
            QCoreApplication::applicationFilePath(),
            {QStringLiteral("--gtest_also_run_disabled_tests"),
             QStringLiteral("--gtest_filter=ScreenFit.DISABLED_EveryWindowOpensWithinTheScreen")});
        ASSERT_TRUE(child.waitForFinished(120000));
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(child.exitCode(), 0);
    }
}
