#include "widgets/NamedWidgets.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace {
template <typename W> W *withTip(W *widget, QAnyStringView name, QAnyStringView tip) {
    widget->setObjectName(name.toString());
    if (!tip.isEmpty())
        widget->setToolTip(tip.toString());
    return widget;
}
} // namespace

QLabel *namedLabel(QWidget *parent, QAnyStringView name, QAnyStringView caption,
                   QAnyStringView tip) {
    return withTip(new QLabel(caption.toString(), parent), name, tip);
}

QLineEdit *namedEdit(QWidget *parent, QAnyStringView name, QAnyStringView tip) {
    return withTip(new QLineEdit(parent), name, tip);
}

QPushButton *namedButton(QWidget *parent, QAnyStringView name, QAnyStringView caption,
                         QAnyStringView tip) {
    return withTip(new QPushButton(caption.toString(), parent), name, tip);
}

void nameAfter(QLabel *label, QWidget *control) {
    label->setBuddy(control);
    QString name = label->text();
    name.remove(u'&');
    if (name.endsWith(u':'))
        name.chop(1);
    control->setAccessibleName(name.trimmed());
}

QAction *namedAction(QMenu *menu, QAnyStringView name, QAnyStringView caption, bool enabled) {
    QAction *action = menu->addAction(caption.toString());
    action->setObjectName(name.toString());
    action->setEnabled(enabled);
    return action;
}

QAction *namedSeparator(QMenu *menu, QAnyStringView name) {
    QAction *separator = menu->addSeparator();
    separator->setObjectName(name.toString());
    return separator;
}

QMenu *namedMenu(QWidget *parent, QAnyStringView name, QAnyStringView caption) {
    auto *menu = new QMenu(caption.toString(), parent);
    menu->setObjectName(name.toString());
    menu->menuAction()->setObjectName(name.toString() + QStringLiteral("Action"));
    return menu;
}
