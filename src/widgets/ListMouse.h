#pragma once

#include <functional>

class QAbstractItemView;

// How the lists take the mouse: a press on empty space keeps the selection (the double click it
// may begin, and the menu of a right click, act on the selected row) and only takes the focus;
// a double click of the left button anywhere on the list, empty space included, runs
// `activate`.
void keepSelectionAndActivateOnDoubleClick(QAbstractItemView *view, std::function<void()> activate);
