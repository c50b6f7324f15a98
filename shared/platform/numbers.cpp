#include "platform/numbers.h"

#include <QByteArray>

#include <cmath>
#include <cstdlib>
#include <limits>

#include <locale.h>

namespace {

bool IsNumberBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

// "&H" and "&O" numbers: up to four hexadecimal digits' worth is a 16-bit
// integer and up to eight a 32-bit one, so "&HFFFF" reads -1 and "&H8000"
// reads -32768, as the classic BASIC parse does.
double ParseRadix(const QByteArray& digits, int radix) {
    double value = 0;
    for (const char c : digits) {
        const int d = DigitValue(c);
        if (d >= radix)
            break;
        value = value * radix + d;
    }
    if (value <= 0xFFFF)
        return value >= 0x8000 ? value - 0x10000 : value;
    if (value <= 0xFFFFFFFFu)
        return value >= 0x80000000u ? value - 4294967296.0 : value;
    return value;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The longest prefix of text that is a decimal number: sign, digits, one
// decimal point, and an exponent "E" or "D" with its own sign and digits.
QByteArray DecimalPrefix(const QByteArray& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-'))
        ++i;
    bool digits = false;
    while (i < n && IsDigit(text[i])) {
        ++i;
        digits = true;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && IsDigit(text[i])) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return QByteArray();
    QByteArray number = text.left(i);
    if (i < n && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == '+' || text[j] == '-'))
            ++j;
        const qsizetype expDigits = j;
        while (j < n && IsDigit(text[j]))
            ++j;
        if (j > expDigits)
            number += 'e' + text.mid(i + 1, j - i - 1);
    }
    return number;
}

// Nearest integer with halves going to the even neighbour, kept within
// [low, high].
double RoundHalfEven(double value, double low, double high) {
    if (std::isnan(value))
        return 0;
    if (value <= low)
        return low;
    if (value >= high)
        return high;
    const double floor = std::floor(value);
    const double fraction = value - floor;
    double result = floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0))
        result += 1;
    return result > high ? high : result;
}

} // namespace

double ParseNumber(const QString& text) {
    QByteArray compact;
    for (const QChar c : text) {
        if (IsNumberBlank(c))
            continue;
        if (c.unicode() > 0x7F)
            break; // no number continues past a non-ASCII character
        compact.append(static_cast<char>(c.unicode()));
    }
    if (compact.size() >= 2 && compact[0] == '&') {
        const char radix = compact[1];
        if (radix == 'H' || radix == 'h')
            return ParseRadix(compact.mid(2), 16);
        if (radix == 'O' || radix == 'o')
            return ParseRadix(compact.mid(2), 8);
        return 0;
    }
    const QByteArray number = DecimalPrefix(compact);
    if (number.isEmpty())
        return 0;
    // Parsed in the C locale whatever the user's locale, so "." is always the
    // decimal point; an exponent out of range gives infinity or zero.
    static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", locale_t(nullptr));
    return strtod_l(number.constData(), nullptr, cLocale);
}

std::int16_t RoundToInt16(double value) {
    return static_cast<std::int16_t>(RoundHalfEven(value, std::numeric_limits<std::int16_t>::min(),
                                                   std::numeric_limits<std::int16_t>::max()));
}

std::int32_t RoundToInt32(double value) {
    return static_cast<std::int32_t>(RoundHalfEven(value, std::numeric_limits<std::int32_t>::min(),
                                                   std::numeric_limits<std::int32_t>::max()));
}
