#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QTest>
#include <QToolTip>
#include <QWidget>
#include <QWindow>

// Mouse input through the widget's window, the way the window system delivers it: Qt itself
// routes each event and turns a second press in time into a double click.
namespace realInput {

inline QPoint inWindow(QWidget *widget, QPoint pos) {
    return widget->window()->windowHandle()->mapFromGlobal(widget->mapToGlobal(pos));
}

inline void click(QWidget *widget, QPoint pos, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(widget->window()->windowHandle(), button, {}, inWindow(widget, pos));
}

// Press, release, press (which Qt follows with the double click), release.
inline void doubleClick(QWidget *widget, QPoint pos) {
    QTest::mouseDClick(widget->window()->windowHandle(), Qt::LeftButton, {}, inWindow(widget, pos));
}

// The tool tip the view itself shows when the pointer rests on the cell `at` (the help event
// the window system's hover brings, through the view's own handling).
inline QString toolTipAt(QAbstractItemView *view, const QModelIndex &at) {
    QToolTip::hideText();
    const QPoint pos = view->visualRect(at).center();
    QHelpEvent help(QEvent::ToolTip, pos, view->viewport()->mapToGlobal(pos));
    QApplication::sendEvent(view->viewport(), &help);
    const QString text = QToolTip::isVisible() ? QToolTip::text() : QString();
    QToolTip::hideText();
    return text;
}

} // namespace realInput
