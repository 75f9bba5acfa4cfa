#pragma once

#include <QLocale>

// Loads the program's translation for `locale` (and Qt's own, for the standard buttons, where the
// system has it) into the running application. Returns false and changes nothing when there is
// no translation for that language: English texts are the program's own.
bool installTranslation(const QLocale &locale);

// Takes the translations installTranslation loaded out again.
void removeTranslation();
