#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <optional>

// The text rules the program's files and displays share.

// A number pattern of `digits` zeros: at least that many digits, zero-padded, with a leading
// minus sign for negative values ("00": 5 -> 05, 125 -> 125, -1 -> -01).
QString formatZeros(qint64 value, int digits);

// The value of a text that the locale-aware number test accepts: optional blanks, a sign,
// digits with the locale's decimal separator, an exponent. Nothing for anything else,
// the empty text included.
std::optional<double> numericValue(const QString &text);

// Rounds to the nearest whole number, ties to the even one (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value);

// A whole number that fits a signed 32-bit integer, rounded ties-to-even; nothing when the text
// is not numeric or the value does not fit.
std::optional<qint32> numericToLong(const QString &text);

// The Boolean text rules: True/False in any letter case, or a number (non-zero is true).
// Anything else throws QuorvelError (type mismatch).
bool textToBool(const QString &text);

// Packed colour: red in the low byte, green in the second, blue in the third.
constexpr qint32 packColor(int red, int green, int blue) {
    return static_cast<qint32>(red + 256 * green + 65536 * blue);
}
struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
};
constexpr Rgb splitColor(qint32 color) {
    const auto c = static_cast<std::uint32_t>(color);
    return {static_cast<int>(c & 255u), static_cast<int>((c & 65280u) / 256u),
            static_cast<int>((c & 16711680u) / 65536u)};
}

// Windows-1252, the code page Ghost Recon's own files are written in when they are not UTF-8.
// Every byte maps to one character and back (the five bytes the code page leaves undefined map
// to the C1 controls of the same value), so a file read this way is written back byte for byte.
QString fromWindows1252(QByteArrayView bytes);
// Whether `c` has a byte in Windows-1252 (as read by fromWindows1252).
bool inWindows1252(char32_t c);
// Characters without a byte (see inWindows1252) must not be given.
QByteArray toWindows1252(const QString &text);
