#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

ScriptedPrompter::~ScriptedPrompter() {
    EXPECT_TRUE(m_script.empty()) << m_script.size() << " expected box(es) never shown, first: "
                                  << m_script.front().title.toStdString();
}

ScriptedPrompter &ScriptedPrompter::expect(const QString &title, Answer answer,
                                           const QString &textPart) {
    m_script.push_back({title, textPart, answer});
    return *this;
}

Answer ScriptedPrompter::ask(const QString &text, const QString &title, Buttons buttons,
                             Icon icon) {
    m_shown.push_back({text, title, buttons, icon});
    if (m_script.empty()) {
        ADD_FAILURE() << "unexpected message box \"" << title.toStdString()
                      << "\": " << text.toStdString();
        return givingUp(buttons);
    }
    const Expectation next = m_script.front();
    m_script.pop_front();
    EXPECT_EQ(title.toStdString(), next.title.toStdString()) << "box text: " << text.toStdString();
    if (!next.textPart.isEmpty()) {
        EXPECT_TRUE(text.contains(next.textPart))
            << "box text \"" << text.toStdString() << "\" lacks \"" << next.textPart.toStdString()
            << "\"";
    }
    return next.answer;
}

ScriptedPrompter::Box ScriptedPrompter::lastShown() const {
    if (m_shown.empty()) {
        ADD_FAILURE() << "no message box was shown";
        return {};
    }
    return m_shown.back();
}
