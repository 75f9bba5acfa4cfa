#pragma once

#include <QObject>

class QWidget;

// Sizes and places a window so that all of it, its frame included, lies within the part of its
// screen the desktop leaves to windows: at a high scale a first size taken from the contents
// could otherwise put the window's buttons beyond the screen's edge.
void fitIntoScreen(QWidget *window);

// Fits every top-level window of the application as it is shown.
class ScreenFit : public QObject {
    Q_OBJECT
public:
    explicit ScreenFit(QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
