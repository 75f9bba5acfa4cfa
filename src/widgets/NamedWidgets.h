#pragma once

#include <QAnyStringView>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QWidget;

// Small makers for the named controls every window builds: the name is the objectName tests
// and the rest of the program find the control by. An empty tip sets none.

QLabel *namedLabel(QWidget *parent, QAnyStringView name, QAnyStringView caption = {},
                   QAnyStringView tip = {});
QLineEdit *namedEdit(QWidget *parent, QAnyStringView name, QAnyStringView tip = {});
QPushButton *namedButton(QWidget *parent, QAnyStringView name, QAnyStringView caption,
                         QAnyStringView tip = {});

// A menu entry added to `menu`.
QAction *namedAction(QMenu *menu, QAnyStringView name, QAnyStringView caption, bool enabled = true);
QAction *namedSeparator(QMenu *menu, QAnyStringView name);
// A menu whose own action is named `name` followed by "Action".
QMenu *namedMenu(QWidget *parent, QAnyStringView name, QAnyStringView caption);

// Makes `label` the visible name of `control` (its buddy) and gives a screen reader the same
// name for it.
void nameAfter(QLabel *label, QWidget *control);

// Names any widget or object made elsewhere and hands it back.
template <typename T> T *named(T *object, QAnyStringView name) {
    object->setObjectName(name.toString());
    return object;
}
