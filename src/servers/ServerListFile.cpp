#include "servers/ServerListFile.h"

#include "servers/basUtilities.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>

namespace ServerListFile {

namespace {

bool hasControlCharacters(QStringView text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7f || (u >= 0x80 && u < 0xa0))
            return true;
    }
    return false;
}

// A name or password as a player or a server could have given it.
bool isPlainField(QStringView text) {
    return text.size() <= maxFieldLength && !hasControlCharacters(text);
}

std::optional<ServerListEntry> entryOf(const QString &address, const QString &name,
                                       const QString &password, const AddressCheck &check) {
    if (address.size() > 253 || hasControlCharacters(address) || !isPlainField(name) ||
        !isPlainField(password) || !check(address))
        return std::nullopt;
    return ServerListEntry{address, name, password};
}

// One line of a list: nothing for a blank or comment line, an entry, or "unreadable".
enum class LineKind { Skip, Entry, Unreadable };

LineKind readLine(QStringView line, const AddressCheck &check, ServerListEntry &into) {
    const QStringView trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(u'#'))
        return LineKind::Skip;
    // Past these sizes a line can hold no server: not worth splitting.
    if (line.size() > 253 + 2 * (maxFieldLength + 1) + 64)
        return LineKind::Unreadable;
    const QList<QStringView> fields = line.split(u'\t');
    const auto entry = entryOf(fields[0].trimmed().toString(),
                               fields.size() > 1 ? fields[1].toString() : QString(),
                               fields.size() > 2 ? fields[2].toString() : QString(), check);
    if (!entry)
        return LineKind::Unreadable;
    into = *entry;
    return LineKind::Entry;
}

template <typename Each> void forEachLine(const QString &text, Each each) {
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        each(QStringView(text).mid(start, end - start));
        if (end >= text.size())
            break;
        // \r\n is one line break.
        start =
            end + ((text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n') ? 2 : 1);
    }
}

std::optional<ServerListReading> parseJson(const QString &text, const AddressCheck &check) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    ServerListReading reading;
    for (const QJsonValue &item : document.array()) {
        const QJsonObject object = item.toObject();
        // The query's "password" says whether one is needed; only a text is a password.
        const QJsonValue address = object.value(QStringLiteral("address"));
        const QJsonValue name = object.value(QStringLiteral("name"));
        const QJsonValue password = object.value(QStringLiteral("password"));
        std::optional<ServerListEntry> entry;
        if (address.isString() && (name.isString() || name.isUndefined() || name.isNull()))
            entry = entryOf(address.toString().trimmed(), name.toString(),
                            password.isString() ? password.toString() : QString(), check);
        if (entry)
            reading.entries.push_back(*entry);
        else
            ++reading.unreadable;
    }
    return reading;
}

// Latin-1 but for 0x80..0x9f, where Windows keeps its quotes, dashes and the euro sign rather
// than control characters (the five bytes it leaves unused stay controls, and unreadable).
QString fromWindows1252(const QByteArray &bytes) {
    static constexpr char16_t high[32] = {
        0x20ac, 0x0081, 0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008d, 0x017d, 0x008f, 0x0090, 0x2018, 0x2019, 0x201c, 0x201d, 0x2022,
        0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0x009d, 0x017e, 0x0178};
    QString text = QString::fromLatin1(bytes);
    for (QChar &c : text)
        if (c.unicode() >= 0x80 && c.unicode() < 0xa0)
            c = QChar(high[c.unicode() - 0x80]);
    return text;
}

QString decode(const QByteArray &bytes) {
    if (bytes.startsWith("\xef\xbb\xbf"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff")) {
        QStringDecoder utf16(bytes.startsWith("\xff\xfe") ? QStringDecoder::Utf16LE
                                                          : QStringDecoder::Utf16BE);
        return utf16(bytes.mid(2));
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    // Not UTF-8: an older Windows editor's 8-bit text. Addresses read the same either way.
    if (utf8.hasError())
        text = fromWindows1252(bytes);
    return text;
}

QString cleanField(const QString &text) {
    QString clean = text;
    for (QChar &c : clean) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7f || (u >= 0x80 && u < 0xa0))
            c = u' ';
    }
    return clean;
}

// In running text only what can hardly be anything else: a dotted address, or a host name of
// three or more labels ending in letters (gr.example.org, not "e.g" or "notes.txt").
bool looksLikeAServer(const QString &word) {
    const QString host = word.section(u':', 0, 0);
    if (IsValidIP(host))
        return true;
    const QStringList labels = host.split(u'.');
    const QString &last = labels.constLast();
    return labels.size() >= 3 && last.size() >= 2 &&
           std::all_of(last.begin(), last.end(), [](QChar c) { return c.isLetter(); });
}

} // namespace

bool isServerAddress(const QString &text) {
    return !text.isEmpty() && IsServerAddress(text);
}

bool isChannelAddress(const QString &text) {
    const qsizetype colon = text.lastIndexOf(u':');
    if (colon < 0)
        return isServerAddress(text);
    const QString port = text.mid(colon + 1);
    bool ok = false;
    const int number = port.toInt(&ok);
    const bool digits = !port.isEmpty() &&
                        std::all_of(port.begin(), port.end(), [](QChar c) { return c.isDigit(); });
    return digits && ok && number >= 1 && number <= 65535 && isServerAddress(text.left(colon));
}

ServerListReading parseText(const QString &text, const AddressCheck &check) {
    if (text.trimmed().startsWith(u'[')) {
        if (auto json = parseJson(text, check))
            return *json;
    }
    ServerListReading reading;
    forEachLine(text, [&](QStringView line) {
        ServerListEntry entry;
        switch (readLine(line, check, entry)) {
        case LineKind::Skip:
            break;
        case LineKind::Entry:
            reading.entries.push_back(std::move(entry));
            break;
        case LineKind::Unreadable:
            ++reading.unreadable;
            break;
        }
    });
    return reading;
}

ServerListReading parse(const QByteArray &bytes, const AddressCheck &check) {
    // No text file of servers holds a NUL outside UTF-16: this is some other kind of file, and
    // none of it is taken, however much of it looks like a name.
    const bool utf16 = bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff");
    if (!utf16 && bytes.contains('\0')) {
        ServerListReading refused;
        forEachLine(QString::fromLatin1(bytes), [&](QStringView line) {
            if (!line.trimmed().isEmpty())
                ++refused.unreadable;
        });
        refused.unreadable = std::max(refused.unreadable, 1);
        return refused;
    }
    return parseText(decode(bytes), check);
}

ServerListReading parseLoose(const QString &text, const AddressCheck &check) {
    if (text.trimmed().startsWith(u'[')) {
        if (auto json = parseJson(text, check))
            return *json;
    }
    static const QRegularExpression separators(QStringLiteral("[\\s,;]+"));
    ServerListReading reading;
    forEachLine(text, [&](QStringView line) {
        ServerListEntry entry;
        const LineKind kind = readLine(line, check, entry);
        if (kind == LineKind::Entry)
            reading.entries.push_back(std::move(entry));
        if (kind != LineKind::Unreadable)
            return;
        bool found = false;
        for (QStringView word : line.split(separators, Qt::SkipEmptyParts)) {
            // Words stand in sentences: "(at 10.0.0.5)." is the address 10.0.0.5.
            while (!word.isEmpty() && QStringLiteral("([<\"'").contains(word.front()))
                word = word.mid(1);
            while (!word.isEmpty() && QStringLiteral(".:!?)]>\"'").contains(word.back()))
                word.chop(1);
            const QString address = word.toString();
            if (address.size() > 253 || !looksLikeAServer(address) || !check(address))
                continue;
            reading.entries.push_back({address, {}, {}});
            found = true;
        }
        if (!found)
            ++reading.unreadable;
    });
    return reading;
}

QByteArray write(const std::vector<ServerListEntry> &entries, bool withPasswords) {
    QString text = QStringLiteral("# Ghost Recon servers: address, tab, name%1\n")
                       .arg(withPasswords ? QStringLiteral(", tab, password") : QString());
    for (const ServerListEntry &entry : entries) {
        const QString address = cleanField(entry.address).trimmed();
        if (address.isEmpty())
            continue;
        QStringList fields{address, cleanField(entry.name)};
        if (withPasswords)
            fields << cleanField(entry.password);
        while (fields.size() > 1 && fields.back().isEmpty())
            fields.removeLast();
        text += fields.join(u'\t');
        text += u'\n';
    }
    return text.toUtf8();
}

std::optional<ServerListReading> readFile(const QString &path, QString &error,
                                          const AddressCheck &check) {
    const QFileInfo info(path);
    if (!info.exists()) {
        error = QCoreApplication::translate("ServerListFile", "The file does not exist.");
        return std::nullopt;
    }
    if (!info.isFile()) {
        error = QCoreApplication::translate("ServerListFile", "This is not a file.");
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return std::nullopt;
    }
    // Read past the limit by one byte rather than trusting the size told before.
    const QByteArray bytes = file.read(maxFileBytes + 1);
    if (bytes.size() > maxFileBytes) {
        error = QCoreApplication::translate("ServerListFile",
                                            "The file is too large to be a list of servers.");
        return std::nullopt;
    }
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return std::nullopt;
    }
    return parse(bytes, check);
}

} // namespace ServerListFile
