#pragma once

#include <QCoreApplication>
#include <QString>

#include <functional>

// Every message box of the program goes through a Prompter: the GUI shows a QMessageBox, tests
// answer from a script.
enum class Buttons { Ok, RetryCancel, YesNo };
enum class Icon { None, Critical, Exclamation, Question };
enum class Answer { Ok, Retry, Cancel, Yes, No };

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual Answer ask(const QString &text, const QString &title, Buttons buttons, Icon icon) = 0;
};

// The answer that gives up on a box with these buttons (OK, No or Cancel).
constexpr Answer givingUp(Buttons buttons) {
    return buttons == Buttons::YesNo ? Answer::No
           : buttons == Buttons::Ok  ? Answer::Ok
                                     : Answer::Cancel;
}

namespace titles {
// A caption in the language the program speaks when it is shown (translations are loaded after
// static objects are made, so the text is looked up on use).
struct Caption {
    const char *source;
    operator QString() const { return QCoreApplication::translate("titles", source); }
};
inline const QString program = QStringLiteral("GRQuorvel");
inline constexpr Caption error{QT_TRANSLATE_NOOP("titles", "An Error has occured")};
} // namespace titles

// Runs `step` until it succeeds or the player gives up. A failure (QuorvelError or any
// std::exception) is shown with its description as text, `title` as caption, the critical icon
// and Retry/Cancel; Retry runs the step again. Returns true when the step succeeded.
// `decorate` may turn the description into the shown text.
bool runWithRetry(Prompter &prompter, const QString &title, const std::function<void()> &step,
                  const std::function<QString(const QString &)> &decorate = {});

// A box with only OK.
void tell(Prompter &prompter, const QString &text, const QString &title = titles::program,
          Icon icon = Icon::None);
