#include "app/ScreenFit.h"

#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

void fitIntoScreen(QWidget *window) {
    const QScreen *screen = window ? window->screen() : nullptr;
    if (!screen || !window->isWindow() || window->isMaximized() || window->isFullScreen())
        return;
    const QRect area = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    const QMargins margins(inner.left() - frame.left(), inner.top() - frame.top(),
                           frame.right() - inner.right(), frame.bottom() - inner.bottom());
    const QSize room = area.size().shrunkBy(margins);
    QSize size = window->size();
    if (size.width() > room.width() || size.height() > room.height()) {
        size = size.boundedTo(room);
        // Contents that ask for more room than the screen has get less, rather than parts of
        // the window out of reach.
        window->setMinimumSize(window->minimumSize().boundedTo(size));
        window->resize(size);
        size = window->size();
    }
    QRect placed(frame.topLeft(), size.grownBy(margins));
    if (placed.right() > area.right())
        placed.moveRight(area.right());
    if (placed.bottom() > area.bottom())
        placed.moveBottom(area.bottom());
    // The title bar stays reachable before anything else.
    if (placed.left() < area.left())
        placed.moveLeft(area.left());
    if (placed.top() < area.top())
        placed.moveTop(area.top());
    if (placed.topLeft() != frame.topLeft())
        window->move(placed.topLeft());
}

ScreenFit::ScreenFit(QObject *parent)
    : QObject(parent) {}

bool ScreenFit::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::Show || !watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    if (!widget->isWindow() || widget->windowType() == Qt::Popup ||
        widget->windowType() == Qt::ToolTip || widget->windowType() == Qt::SplashScreen)
        return false;
    fitIntoScreen(widget);
    // Again once the window has handled its own showing (a message box sizes itself then) and
    // the desktop has framed it.
    QTimer::singleShot(0, widget, [window = QPointer<QWidget>(widget)] {
        if (window && window->isVisible())
            fitIntoScreen(window);
    });
    return false;
}
