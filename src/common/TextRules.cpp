#include "common/TextRules.h"

#include "common/QuorvelError.h"

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
    throw QuorvelError(QStringLiteral("Type mismatch"), QuorvelError::TypeMismatch);
}
