#include "common/TextRules.h"

#include "common/QuorvelError.h"

#include <QCoreApplication>
#include <QLocale>

#include <cmath>
#include <limits>

QString formatZeros(qint64 value, int digits) {
    const QString body = QString::number(value < 0 ? -value : value).rightJustified(digits, u'0');
    return value < 0 ? QStringLiteral("-") + body : body;
}

std::optional<double> numericValue(const QString &text) {
    const QChar decimal = QLocale().decimalPoint().at(0);
    const QString t = text.trimmed();
    int i = 0;
    const int n = static_cast<int>(t.size());
    if (i < n && (t[i] == u'+' || t[i] == u'-'))
        ++i;
    while (i < n && t[i] == u' ')
        ++i;
    const int mantissaStart = i;
    int digits = 0;
    while (i < n && t[i].isDigit() && t[i].unicode() < 128) {
        ++i;
        ++digits;
    }
    if (i < n && t[i] == decimal) {
        ++i;
        while (i < n && t[i].isDigit() && t[i].unicode() < 128) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;
    const int mantissaEnd = i;
    int exponentDigitsAt = -1;
    if (i < n && (t[i] == u'e' || t[i] == u'E' || t[i] == u'd' || t[i] == u'D')) {
        ++i;
        if (i < n && (t[i] == u'+' || t[i] == u'-'))
            ++i;
        exponentDigitsAt = i;
        while (i < n && t[i].isDigit() && t[i].unicode() < 128)
            ++i;
        if (i == exponentDigitsAt)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;

    QString plain = t.left(mantissaEnd);
    plain.remove(u' ');
    plain.replace(decimal, u'.');
    if (exponentDigitsAt >= 0)
        plain += u'e' + t.mid(mantissaEnd + 1);
    Q_UNUSED(mantissaStart);
    bool ok = false;
    const double v = plain.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

double roundHalfEven(double value) {
    return std::nearbyint(value);
}

std::optional<qint32> numericToLong(const QString &text) {
    const auto v = numericValue(text);
    if (!v)
        return std::nullopt;
    const double r = roundHalfEven(*v);
    if (r < std::numeric_limits<qint32>::min() || r > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(r);
}

bool textToBool(const QString &text) {
    const QString t = text.trimmed();
    if (t.compare(u"true", Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(u"false", Qt::CaseInsensitive) == 0)
        return false;
    if (const auto v = numericValue(text))
        return *v != 0.0;
    throw QuorvelError(QCoreApplication::translate("QuorvelError", "Type mismatch"),
                       QuorvelError::TypeMismatch);
}

namespace {
// The characters of bytes 0x80..0x9F; the undefined ones stand for themselves.
constexpr char16_t windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::optional<char> windows1252Byte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (int i = 0; i < 32; ++i)
        if (windows1252High[i] == c)
            return static_cast<char>(0x80 + i);
    return std::nullopt;
}
} // namespace

QString fromWindows1252(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        *out++ = QChar(u >= 0x80 && u < 0xA0 ? windows1252High[u - 0x80] : char16_t(u));
    }
    return text;
}

bool inWindows1252(char32_t c) {
    return windows1252Byte(c).has_value();
}

QByteArray toWindows1252(const QString &text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text)
        bytes += windows1252Byte(c.unicode()).value_or('?');
    return bytes;
}
