#pragma once

#include <QIcon>
#include <QString>

// The program's own icon in every size it is drawn in; the window icon of all its windows.
QIcon programIcon();

// The name the desktop knows the program by: its desktop entry and its icon carry it.
QString applicationId();
