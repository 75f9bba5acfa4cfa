#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The one reading of the game directory option, "--game-dir DIR" or "--game-dir=DIR", at
// `args[i]`: nothing when that word is not the option; otherwise the directory (empty when it
// is missing), with `i` left on the last word taken.
std::optional<QString> readGameDirOption(const QStringList &args, qsizetype &i);
