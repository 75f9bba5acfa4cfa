#pragma once

#include <QString>

// True when `name` matches `pattern`: `*` stands for any run of characters (none included),
// `?` for exactly one; letter case is ignored.
bool buddyMatches(const QString &pattern, const QString &name);
// The same for a pattern and a name already case-folded (QString::toCaseFolded).
bool buddyMatchesFolded(QStringView pattern, QStringView name);
