#include "app/CommandLine.h"

std::optional<QString> readGameDirOption(const QStringList &args, qsizetype &i) {
    const QString &arg = args[i];
    if (arg == u"--game-dir")
        return i + 1 < args.size() ? args[++i] : QString();
    if (arg.startsWith(u"--game-dir="))
        return arg.mid(11);
    return std::nullopt;
}
