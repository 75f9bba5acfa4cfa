#include "app/Translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace {
std::unique_ptr<QTranslator> &programTranslator() {
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

std::unique_ptr<QTranslator> &qtTranslator() {
    static std::unique_ptr<QTranslator> translator;
    return translator;
}
} // namespace

bool installTranslation(const QLocale &locale) {
    removeTranslation();
    if (locale.language() == QLocale::C || locale.language() == QLocale::English)
        return false;
    auto program = std::make_unique<QTranslator>();
    if (!program->load(locale, QStringLiteral("grquorvel"), QStringLiteral("_"),
                       QStringLiteral(":/i18n")))
        return false;
    QCoreApplication::installTranslator(program.get());
    programTranslator() = std::move(program);
    auto qt = std::make_unique<QTranslator>();
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt.get());
        qtTranslator() = std::move(qt);
    }
    return true;
}

void removeTranslation() {
    for (auto *translator : {&programTranslator(), &qtTranslator()}) {
        if (*translator)
            QCoreApplication::removeTranslator(translator->get());
        translator->reset();
    }
}
