#include "platform/SessionAutostart.h"

#include "common/QuorvelError.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>

namespace platform {

namespace {

const QString runKey =
    QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString valueName = QStringLiteral("GRQuorvel");

// One word of a command line as the C runtime splits it again: quoted, with the backslashes
// that come before a quote (or before the closing quote) doubled.
QString quotedWord(const QString &word) {
    QString out(u'"');
    qsizetype backslashes = 0;
    for (const QChar c : word) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        if (c == u'"') {
            out += QString(backslashes * 2 + 1, u'\\');
            out += c;
        } else {
            out += QString(backslashes, u'\\');
            out += c;
        }
        backslashes = 0;
    }
    out += QString(backslashes * 2, u'\\');
    out += u'"';
    return out;
}

} // namespace

QString SessionAutostart::entryLocation() {
    return runKey + u'\\' + valueName;
}

bool SessionAutostart::isOn() {
    return QSettings(runKey, QSettings::NativeFormat).contains(valueName);
}

QString SessionAutostart::commandLine(const QString &program, const QStringList &arguments) {
    QStringList words{quotedWord(QDir::toNativeSeparators(program))};
    for (const QString &argument : arguments)
        words << quotedWord(argument);
    return words.join(u' ');
}

void SessionAutostart::turnOn(const QString &program, const QStringList &arguments) {
    QSettings run(runKey, QSettings::NativeFormat);
    run.setValue(valueName, commandLine(program, arguments));
    run.sync();
    if (run.status() != QSettings::NoError)
        throw QuorvelError(
            QCoreApplication::translate("SessionAutostart", "Could not write the value %1")
                .arg(entryLocation()));
}

void SessionAutostart::turnOff() {
    QSettings run(runKey, QSettings::NativeFormat);
    run.remove(valueName);
    run.sync();
    if (run.status() != QSettings::NoError || run.contains(valueName))
        throw QuorvelError(
            QCoreApplication::translate("SessionAutostart", "Could not remove the value %1")
                .arg(entryLocation()));
}

} // namespace platform
