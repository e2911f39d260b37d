#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <stdexcept>

namespace corvane {

// A number that does not fit the integer type it must become. It ends the operation in
// progress; the operation's own boundary catches it.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The number at the start of a text: leading blanks (spaces, tabs, line breaks) skipped, then the
// longest prefix that forms a number (sign, digits, decimal point and fraction, exponent; or
// hexadecimal digits after
// "&H"). Text without such a prefix gives 0. The decimal separator is always ".".
double NumericPrefix(QStringView text);

// The whole text, blanks around it allowed, is a decimal number (sign, fraction and exponent
// allowed) or a hexadecimal number after "&H". Gives the number, or nothing.
std::optional<double> ReadsAsNumber(QStringView text);

// Nearest whole number, a half going to the even neighbour; outside the type's range (or not a
// number at all) is a ConversionError.
qint16 ToInt16(double value);
qint32 ToInt32(double value);

// Convert a text that must be a number as a whole (see ReadsAsNumber); anything else, the empty
// text included, is a ConversionError.
qint16 NumberToInt16(QStringView text);
qint32 NumberToInt32(QStringView text);

// "&H" hexadecimal digits: up to 8 digits, read as a 32-bit pattern, so "&HFF" is 255 and
// "&H8000000F" is the negative number with that bit pattern. Empty or invalid gives nothing.
std::optional<qint64> ParseHexDigits(QStringView digits);

// Boolean text: the word false in any letter case, or a number equal to 0, reads as false.
bool ReadsAsBooleanFalse(QStringView text);

// Booleans written as text.
inline QString BoolText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

// The shortest decimal text that reads back as the same single-precision number ("1", "2.5",
// "-0.1", "1E+20"), with the given decimal separator.
QString ShortestSingleText(float value, QChar decimalSeparator = QLatin1Char('.'));
// The same for a double-precision number, as numbers read from text are held.
QString ShortestDecimalText(double value, QChar decimalSeparator = QLatin1Char('.'));

} // namespace corvane
