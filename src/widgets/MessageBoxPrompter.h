#pragma once

#include "common/Prompter.h"

// The player's Prompter: a real message box over the active window.
class MessageBoxPrompter : public Prompter {
public:
    Answer ask(const QString &text, const QString &title, Buttons buttons, Icon icon) override;
};
