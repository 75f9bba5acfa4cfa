#include "common/BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

static Qt::CursorShape qtShape(BusyCursor::Shape shape) {
    return shape == BusyCursor::Shape::ArrowHourglass ? Qt::BusyCursor : Qt::WaitCursor;
}

BusyCursor::BusyCursor(Shape shape) {
    QGuiApplication::setOverrideCursor(QCursor(qtShape(shape)));
}

BusyCursor::~BusyCursor() {
    QGuiApplication::restoreOverrideCursor();
}

void BusyCursor::setShape(Shape shape) {
    QGuiApplication::changeOverrideCursor(QCursor(qtShape(shape)));
}
