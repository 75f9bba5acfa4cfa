#include "servers/basUtilities.h"

#include "common/TextRules.h"

#include <QList>
#include <QStringView>

#include <algorithm>

namespace {
std::optional<quint32> addressPart(const QString &part) {
    const std::optional<qint32> value = numericToLong(part);
    if (!value || *value < 0 || *value > 255)
        return std::nullopt;
    return static_cast<quint32>(*value);
}
} // namespace

std::optional<quint32> DottedIPv4(const QString &address) {
    const qsizetype d1 = address.indexOf(u'.');
    if (d1 < 0)
        return std::nullopt;
    const auto p1 = addressPart(address.left(d1));
    if (!p1)
        return std::nullopt;
    const qsizetype d2 = address.indexOf(u'.', d1 + 1);
    if (d2 < 0)
        return std::nullopt;
    const auto p2 = addressPart(address.mid(d1 + 1, d2 - d1 - 1));
    if (!p2)
        return std::nullopt;
    const qsizetype d3 = address.indexOf(u'.', d2 + 1);
    if (d3 < 0)
        return std::nullopt;
    const auto p3 = addressPart(address.mid(d2 + 1, d3 - d2 - 1));
    if (!p3 || d3 + 1 >= address.size())
        return std::nullopt;
    const auto p4 = addressPart(address.mid(d3 + 1));
    if (!p4)
        return std::nullopt;
    return (*p1 << 24) | (*p2 << 16) | (*p3 << 8) | *p4;
}

bool IsValidIP(const QString &address) {
    return DottedIPv4(address).has_value();
}

QString AddressForUse(const QString &address) {
    const std::optional<quint32> v4 = DottedIPv4(address);
    if (!v4)
        return address;
    return QStringLiteral("%1.%2.%3.%4")
        .arg(*v4 >> 24)
        .arg((*v4 >> 16) & 0xff)
        .arg((*v4 >> 8) & 0xff)
        .arg(*v4 & 0xff);
}

bool IsHostName(const QString &text) {
    QStringView name(text);
    if (name.endsWith(u'.'))
        name.chop(1);
    if (name.isEmpty() || name.size() > 253)
        return false;
    bool lastAllDigits = false;
    for (const QStringView label : name.split(u'.')) {
        if (label.isEmpty() || label.size() > 63 || label.startsWith(u'-') || label.endsWith(u'-'))
            return false;
        lastAllDigits = true;
        for (const QChar c : label) {
            const char16_t u = c.unicode();
            const bool digit = u >= u'0' && u <= u'9';
            const bool letter = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
            if (!digit && !letter && u != u'-')
                return false;
            lastAllDigits = lastAllDigits && digit;
        }
    }
    return !lastAllDigits;
}

bool IsServerAddress(const QString &text) {
    if (IsValidIP(text))
        return true;
    const QString trimmed = text.trimmed();
    const QList<QStringView> parts = QStringView(trimmed).split(u'.');
    const auto number = [](QStringView part) {
        return !part.isEmpty() &&
               std::all_of(part.begin(), part.end(), [](QChar c) { return c.isDigit(); });
    };
    if (parts.size() >= 3 && std::all_of(parts.begin(), parts.begin() + 3, number))
        return false;
    return IsHostName(trimmed);
}
