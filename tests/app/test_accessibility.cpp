#include "app/ProgramIcon.h"
#include "app/clsGRQuorvel.h"
#include "app/frmMain.h"
#include "support/EveryWindow.h"
#include "support/GameDir.h"
#include "support/ProgramRun.h"
#include "support/ScriptedPrompter.h"
#include "support/Widgets.h"

#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QSet>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>

#include <gtest/gtest.h>

namespace {

// Shown in its window, counting the pages of a tab or stack that are not in front.
bool shownIn(const QWidget *w, const QWidget *window) {
    for (; w && w != window; w = w->parentWidget()) {
        if (w->isHidden() && !qobject_cast<const QStackedWidget *>(w->parentWidget()))
            return false;
    }
    return true;
}

bool isControl(const QWidget *w, QAccessibleInterface *face) {
    static const QSet<QAccessible::Role> roles = {
        QAccessible::PushButton,    QAccessible::CheckBox,     QAccessible::RadioButton,
        QAccessible::ComboBox,      QAccessible::EditableText, QAccessible::SpinBox,
        QAccessible::Slider,        QAccessible::List,         QAccessible::Table,
        QAccessible::Tree,          QAccessible::ProgressBar,  QAccessible::ButtonMenu,
        QAccessible::ButtonDropDown};
    // A label is its text; one without text says nothing.
    return face->role() != QAccessible::StaticText &&
           (w->focusPolicy() != Qt::NoFocus || roles.contains(face->role()));
}

// "window/objectName (class)" of every control of every window shown now that a screen reader
// would announce without a name; and of every window without the program's icon.
QStringList unnamedControls(QSet<QString> &walked) {
    const QImage icon = programIcon().pixmap(32, 32).toImage();
    QStringList unnamed;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!window->isVisible() || qobject_cast<QMenu *>(window))
            continue;
        walked.insert(window->objectName());
        if (window->windowIcon().pixmap(32, 32).toImage() != icon)
            unnamed << window->objectName() + QStringLiteral(" (window icon)");
        const QList<QWidget *> widgets = window->findChildren<QWidget *>();
        for (QWidget *w : widgets) {
            QAccessibleInterface *face = QAccessible::queryAccessibleInterface(w);
            if (!face || w->window() != window || !shownIn(w, window) || !isControl(w, face))
                continue;
            if (face->text(QAccessible::Name).trimmed().isEmpty())
                unnamed << QStringLiteral("%1/%2 (%3)")
                               .arg(window->objectName(), w->objectName(),
                                    QString::fromLatin1(w->metaObject()->className()));
        }
    }
    return unnamed;
}

} // namespace

TEST(Accessibility, EveryControlOfEveryWindowHasANameAndEveryWindowTheIcon) {
    GameDir dir({.missionStats = true});
    ScriptedPrompter prompter;
    QSet<QString> walked;
    QStringList unnamed;
    const auto walk = [&] { unnamed += unnamedControls(walked); };
    runProgramOn(dir, prompter, [&](frmMain &main) { openEveryWindow(main, walk); });
    unnamed.removeDuplicates();
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(u'\n').toStdString();
    // The walk met the windows it should have (a window without a name fails here too).
    for (const char *name : {"frmMain", "frmTips", "frmAbout", "frmOptions", "frmPingAll",
                             "frmServerInfo", "frmWatchServer"})
        EXPECT_TRUE(walked.contains(QString::fromLatin1(name))) << name;
}

TEST(MainWindow, FirstShowsEveryColumnOfTheServerListAndFifteenRows) {
    GameDir dir;
    ScriptedPrompter prompter;
    runProgramOn(dir, prompter, [&](frmMain &main) {
        main.tabs()->setCurrentIndex(frmMain::TabServers);
        QApplication::processEvents();
        auto *list = named<QTableView>(main, "lsvGRServers");
        EXPECT_GE(list->viewport()->width(), list->horizontalHeader()->length());
        EXPECT_GE(list->viewport()->height(), 15 * list->verticalHeader()->defaultSectionSize());
    });
}
