#pragma once

#include "common/Prompter.h"

#include <deque>
#include <vector>

// Answers message boxes from a script. A box that was not expected fails the test.
class ScriptedPrompter : public Prompter {
public:
    struct Box {
        QString text;
        QString title;
        Buttons buttons = Buttons::Ok;
        Icon icon = Icon::None;
        bool is(Buttons b, Icon i) const { return buttons == b && icon == i; }
    };

    ~ScriptedPrompter() override;

    // The next box must carry `title` (and, when given, contain `textPart`); it is answered
    // with `answer`.
    ScriptedPrompter &expect(const QString &title, Answer answer, const QString &textPart = {});

    Answer ask(const QString &text, const QString &title, Buttons buttons, Icon icon) override;

    const std::vector<Box> &shown() const { return m_shown; }
    // The last box shown; when none was, the test fails and an empty box is returned.
    Box lastShown() const;

private:
    struct Expectation {
        QString title;
        QString textPart;
        Answer answer;
    };
    std::deque<Expectation> m_script;
    std::vector<Box> m_shown;
};
