#include "app/frmMain.h"
#include "support/EveryWindow.h"
#include "support/GameDir.h"
#include "support/ProgramRun.h"
#include "support/ScriptedPrompter.h"
#include "widgets/MessageBoxPrompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDebug>
#include <QMenu>
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
            QString said;
            QDebug(&said).nospace() << r;
            return said;
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
        openEveryWindow(main, look);
        // A message box too long for the screen.
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
        SCOPED_TRACE(testing::Message() << s.width << 'x' << s.height << " at " << s.scale);
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
        startTestChild(child, QStringLiteral("ScreenFit.DISABLED_EveryWindowOpensWithinTheScreen"),
                       {{"QT_QPA_PLATFORM", QStringLiteral("offscreen:configfile=") + config},
                        {"QT_SCALE_FACTOR", QString::fromLatin1(s.scale)}});
        ASSERT_TRUE(child.waitForFinished(120000));
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(child.exitCode(), 0);
    }
}
