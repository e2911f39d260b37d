#include "support/NumberRules.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace corvane {

namespace {

// Blanks before a number. Line breaks count: a pretty-printed definition puts a value on a line
// of its own, and the whole-value number test already allows them around a number.
bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
           c == QLatin1Char('\n');
}

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') {
        return u - '0';
    }
    if (u >= 'a' && u <= 'f') {
        return u - 'a' + 10;
    }
    if (u >= 'A' && u <= 'F') {
        return u - 'A' + 10;
    }
    return -1;
}

bool startsWithHexMarker(QStringView text, qsizetype pos) {
    return pos + 1 < text.size() && text[pos] == QLatin1Char('&') &&
           (text[pos + 1] == QLatin1Char('H') || text[pos + 1] == QLatin1Char('h'));
}

// Length of the run of hexadecimal digits at pos.
qsizetype hexRunLength(QStringView text, qsizetype pos) {
    qsizetype end = pos;
    while (end < text.size() && hexValue(text[end]) >= 0) {
        ++end;
    }
    return end - pos;
}

// Length of the longest decimal number at pos (sign, digits, fraction, exponent), 0 if none.
qsizetype decimalPrefixLength(QStringView text, qsizetype pos) {
    qsizetype i = pos;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        ++i;
    }
    qsizetype digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        qsizetype j = i + 1;
        qsizetype fraction = 0;
        while (j < text.size() && isDigit(text[j])) {
            ++j;
            ++fraction;
        }
        if (digits + fraction > 0) {
            i = j;
            digits += fraction;
        }
    }
    if (digits == 0) {
        return 0;
    }
    if (i < text.size() && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        if (j < text.size() && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-'))) {
            ++j;
        }
        qsizetype exponentDigits = 0;
        while (j < text.size() && isDigit(text[j])) {
            ++j;
            ++exponentDigits;
        }
        if (exponentDigits > 0) {
            i = j;
        }
    }
    return i - pos;
}

// Whether a decimal number as decimalPrefixLength takes it is 1 or more in magnitude: the power
// of ten of its first significant digit, plus its exponent, is not negative.
bool atLeastOne(const std::string& ascii) {
    std::size_t i = (ascii[0] == '+' || ascii[0] == '-') ? 1 : 0;
    long long wholeDigits = -1; // digits before the point, once it is seen
    long long digits = 0;
    long long firstSignificant = -1;
    for (; i < ascii.size() && ascii[i] != 'e' && ascii[i] != 'E'; ++i) {
        if (ascii[i] == '.') {
            wholeDigits = digits;
            continue;
        }
        if (firstSignificant < 0 && ascii[i] != '0') {
            firstSignificant = digits;
        }
        ++digits;
    }
    if (firstSignificant < 0) {
        return false; // zero
    }
    if (wholeDigits < 0) {
        wholeDigits = digits;
    }
    long long exponent = 0;
    bool negativeExponent = false;
    if (i < ascii.size()) {
        ++i;
        if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-')) {
            negativeExponent = ascii[i] == '-';
            ++i;
        }
        // Far beyond any double either way; the cap keeps the sum from overflowing.
        for (; i < ascii.size() && exponent < 1'000'000'000'000LL; ++i) {
            exponent = exponent * 10 + (ascii[i] - '0');
        }
    }
    const long long power = wholeDigits - 1 - firstSignificant;
    return power + (negativeExponent ? -exponent : exponent) >= 0;
}

double parseDecimal(QStringView text) {
    const std::string ascii = text.toLatin1().toStdString();
    const char* begin = ascii.data();
    if (*begin == '+') {
        ++begin; // from_chars takes no plus sign
    }
    double value = 0;
    const auto result = std::from_chars(begin, ascii.data() + ascii.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large for a double is an infinity, which no integer conversion accepts; too small
        // for one (1e-400) is zero, as the nearest double is.
        const bool negative = ascii.front() == '-';
        if (atLeastOne(ascii)) {
            return negative ? -std::numeric_limits<double>::infinity()
                            : std::numeric_limits<double>::infinity();
        }
        return negative ? -0.0 : 0.0;
    }
    return value;
}

template <typename Int> Int toInteger(double value) {
    if (!std::isfinite(value)) {
        throw ConversionError("not a finite number");
    }
    // nearbyint rounds a half to the even neighbour in the default rounding mode.
    const double rounded = std::nearbyint(value);
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
        throw ConversionError("number out of range");
    }
    return static_cast<Int>(rounded);
}

} // namespace

std::optional<qint64> ParseHexDigits(QStringView digits) {
    if (digits.isEmpty() || digits.size() > 8) {
        return std::nullopt;
    }
    quint32 value = 0;
    for (QChar c : digits) {
        const int v = hexValue(c);
        if (v < 0) {
            return std::nullopt;
        }
        value = (value << 4) | static_cast<quint32>(v);
    }
    return static_cast<qint32>(value);
}

double NumericPrefix(QStringView text) {
    qsizetype pos = 0;
    while (pos < text.size() && isBlank(text[pos])) {
        ++pos;
    }
    if (startsWithHexMarker(text, pos)) {
        // More than eight digits cannot be a 32-bit pattern; read as many as fit.
        const qsizetype length = std::min<qsizetype>(hexRunLength(text, pos + 2), 8);
        return static_cast<double>(ParseHexDigits(text.mid(pos + 2, length)).value_or(0));
    }
    const qsizetype length = decimalPrefixLength(text, pos);
    return length == 0 ? 0.0 : parseDecimal(text.mid(pos, length));
}

std::optional<double> ReadsAsNumber(QStringView text) {
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return std::nullopt;
    }
    if (startsWithHexMarker(trimmed, 0)) {
        const auto value = ParseHexDigits(trimmed.mid(2));
        return value ? std::optional<double>(static_cast<double>(*value)) : std::nullopt;
    }
    if (decimalPrefixLength(trimmed, 0) != trimmed.size()) {
        return std::nullopt;
    }
    return parseDecimal(trimmed);
}

qint16 ToInt16(double value) {
    return toInteger<qint16>(value);
}

qint32 ToInt32(double value) {
    return toInteger<qint32>(value);
}

qint16 NumberToInt16(QStringView text) {
    const auto number = ReadsAsNumber(text);
    if (!number) {
        throw ConversionError("not a number");
    }
    return ToInt16(*number);
}

qint32 NumberToInt32(QStringView text) {
    const auto number = ReadsAsNumber(text);
    if (!number) {
        throw ConversionError("not a number");
    }
    return ToInt32(*number);
}

bool ReadsAsBooleanFalse(QStringView text) {
    if (text.trimmed().compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    const auto number = ReadsAsNumber(text);
    return number && *number == 0.0;
}

namespace {

template <typename Float> QString shortestText(Float value, QChar decimalSeparator) {
    if (std::isnan(value)) {
        return QStringLiteral("NaN");
    }
    if (std::isinf(value)) {
        return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    }
    if (value == Float(0)) {
        return QStringLiteral("0");
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    const qsizetype exponentAt = text.indexOf(QLatin1Char('e'));
    if (exponentAt >= 0) {
        // Written as mantissa "E" sign exponent without leading zeros, such as 1E+20.
        const QString mantissa = text.left(exponentAt);
        const int exponent = text.mid(exponentAt + 1).toInt();
        text = mantissa + QLatin1Char('E') + (exponent < 0 ? QLatin1Char('-') : QLatin1Char('+')) +
               QString::number(std::abs(exponent));
    }
    text.replace(QLatin1Char('.'), decimalSeparator);
    return text;
}

} // namespace

QString ShortestSingleText(float value, QChar decimalSeparator) {
    return shortestText(value, decimalSeparator);
}

QString ShortestDecimalText(double value, QChar decimalSeparator) {
    return shortestText(value, decimalSeparator);
}

} // namespace corvane
