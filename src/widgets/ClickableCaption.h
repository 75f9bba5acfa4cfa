#pragma once

#include <QString>

#include <functional>

class QCheckBox;
class QGridLayout;
class QLabel;

// A caption that acts for the control it names: `action` runs when the left button is released
// over `label`.
void onCaptionClick(QLabel *label, std::function<void()> action);

// A check box with its caption in a label of its own beside it (cells `row`, 0 and 1 of
// `grid`). Either one changes the box: a click on the caption turns a cleared or grey box on
// and a ticked one off. `changed` runs after every change the player makes.
struct CaptionedSwitch {
    QCheckBox *box;
    QLabel *caption;
};
CaptionedSwitch addCaptionedSwitch(QGridLayout *grid, int row, const QString &boxName,
                                   const QString &captionName, const QString &caption,
                                   std::function<void(QCheckBox *)> changed);
