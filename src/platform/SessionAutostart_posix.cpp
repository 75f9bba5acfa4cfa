#include "platform/SessionAutostart.h"

#include "common/QuorvelError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace platform {

namespace {

// The characters that make a word of an Exec line need quotes.
bool needsQuotes(const QString &word) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    if (word.isEmpty())
        return true;
    for (const QChar c : word)
        if (reserved.contains(c) || c.unicode() < 0x20)
            return true;
    return false;
}

// One word of an Exec line: quoted where needed, its percent signs doubled (they would be
// read as field codes).
QString execWord(const QString &word) {
    QString out;
    const bool quoted = needsQuotes(word);
    if (quoted)
        out += u'"';
    for (const QChar c : word) {
        if (c == u'%') {
            out += QStringLiteral("%%");
            continue;
        }
        if (quoted && (c == u'"' || c == u'`' || c == u'$' || c == u'\\'))
            out += u'\\';
        out += c;
    }
    if (quoted)
        out += u'"';
    return out;
}

// A value of the entry file: its own escapes are read before the quotes are.
QString escapedValue(const QString &value) {
    QString out;
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString autostartDirectory() {
    // Only an absolute path counts; otherwise the default beside the home directory.
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(config + QStringLiteral("/autostart"));
}

} // namespace

QString SessionAutostart::entryLocation() {
    return autostartDirectory() + QStringLiteral("/grquorvel.desktop");
}

bool SessionAutostart::isOn() {
    return QFileInfo(entryLocation()).isFile();
}

QString SessionAutostart::commandLine(const QString &program, const QStringList &arguments) {
    QStringList words{execWord(program)};
    for (const QString &argument : arguments)
        words << execWord(argument);
    return words.join(u' ');
}

void SessionAutostart::turnOn(const QString &program, const QStringList &arguments) {
    const QString directory = autostartDirectory();
    if (!QDir().mkpath(directory))
        throw QuorvelError(
            QCoreApplication::translate("SessionAutostart", "Could not create the directory %1")
                .arg(directory));
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=GRQuorvel\n"
                                        "Comment=Keeps watching Ghost Recon servers from the tray\n"
                                        "Exec=%1\n"
                                        "Icon=" QUORVEL_APP_ID "\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(escapedValue(commandLine(program, arguments)));
    QSaveFile file(entryLocation());
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        throw QuorvelError(QCoreApplication::translate("SessionAutostart", "Could not write %1: %2")
                               .arg(entryLocation(), file.errorString()));
}

void SessionAutostart::turnOff() {
    QFile file(entryLocation());
    if (file.exists() && !file.remove())
        throw QuorvelError(
            QCoreApplication::translate("SessionAutostart", "Could not remove %1: %2")
                .arg(entryLocation(), file.errorString()));
}

} // namespace platform
