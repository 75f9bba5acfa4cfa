#include "common/Prompter.h"

#include "common/QuorvelError.h"

bool runWithRetry(Prompter &prompter, const QString &title, const std::function<void()> &step,
                  const std::function<QString(const QString &)> &decorate) {
    for (;;) {
        QString description;
        try {
            step();
            return true;
        } catch (const QuorvelError &e) {
            description = e.description();
        } catch (const std::exception &e) {
            description = QString::fromUtf8(e.what());
        }
        const QString text = decorate ? decorate(description) : description;
        if (prompter.ask(text, title, Buttons::RetryCancel, Icon::Critical) != Answer::Retry)
            return false;
    }
}

void tell(Prompter &prompter, const QString &text, const QString &title, Icon icon) {
    prompter.ask(text, title, Buttons::Ok, icon);
}
