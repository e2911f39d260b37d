// Number and colour texts as panel definitions and property changes carry them. Decimal
// readings are compared with the C library's correctly rounded reading of the same digits, and
// the shortest decimal text of a number must read back as that very number.

#include "FuzzCheck.h"
#include "runtime/ColorRules.h"
#include "support/NumberRules.h"

#include <QByteArray>
#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>

using namespace corvane;

namespace {

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Whether strtod reads the text at pos as our rules do: a decimal number begins there (no
// "inf", "nan" or "0x", which strtod also takes).
bool decimalStartsAt(QStringView text, qsizetype pos) {
    if (pos < text.size() && (text[pos] == QLatin1Char('+') || text[pos] == QLatin1Char('-'))) {
        ++pos;
    }
    if (pos >= text.size() || !(isDigit(text[pos]) || text[pos] == QLatin1Char('.'))) {
        return false;
    }
    return !(pos + 1 < text.size() && text[pos] == QLatin1Char('0') &&
             (text[pos + 1] == QLatin1Char('x') || text[pos + 1] == QLatin1Char('X')));
}

// The C library's reading (this program never sets a locale, so "." is the separator).
double strtodReading(QStringView text) {
    const QByteArray ascii = text.toUtf8();
    return std::strtod(ascii.constData(), nullptr);
}

bool sameNumber(double a, double b) {
    return a == b && std::signbit(a) == std::signbit(b);
}

void convertAll(double value) {
    try {
        (void)ToInt16(value);
    } catch (const ConversionError&) {
    }
    try {
        (void)ToInt32(value);
    } catch (const ConversionError&) {
    }
}

void checkRoundTrip(double value) {
    const QString text = ShortestDecimalText(value);
    if (!std::isfinite(value)) {
        FUZZ_CHECK(!ReadsAsNumber(text), "an infinity or NaN text reads as a number");
        return;
    }
    const auto back = ReadsAsNumber(text);
    FUZZ_CHECK(back.has_value(), qPrintable(text));
    // Zero is written "0" whatever its sign.
    FUZZ_CHECK(*back == value, qPrintable(text));
    FUZZ_CHECK(text.size() <= 24, qPrintable(text));
    // The text a number is written as never fails where a number must be whole.
    FUZZ_CHECK(sameNumber(NumericPrefix(text), *back), qPrintable(text));
}

void checkSingleRoundTrip(float value) {
    const QString text = ShortestSingleText(value);
    if (!std::isfinite(value)) {
        return;
    }
    const auto back = ReadsAsNumber(text);
    FUZZ_CHECK(back.has_value(), qPrintable(text));
    FUZZ_CHECK(static_cast<float>(*back) == value, qPrintable(text));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const double prefix = NumericPrefix(text);
    FUZZ_CHECK(!std::isnan(prefix), "a number prefix reads as NaN");
    convertAll(prefix);
    checkRoundTrip(prefix);

    qsizetype start = 0;
    while (start < text.size() &&
           (text[start] == QLatin1Char(' ') || text[start] == QLatin1Char('\t') ||
            text[start] == QLatin1Char('\r') || text[start] == QLatin1Char('\n'))) {
        ++start;
    }
    if (decimalStartsAt(text, start)) {
        FUZZ_CHECK(sameNumber(prefix, strtodReading(QStringView(text).sliced(start))),
                   "the number prefix differs from the C library's reading");
    }

    const std::optional<double> whole = ReadsAsNumber(text);
    if (whole) {
        FUZZ_CHECK(!std::isnan(*whole), "a number reads as NaN");
        convertAll(*whole);
        checkRoundTrip(*whole);
        const QStringView trimmed = QStringView(text).trimmed();
        if (decimalStartsAt(trimmed, 0)) {
            FUZZ_CHECK(sameNumber(*whole, strtodReading(trimmed)),
                       "a whole number differs from the C library's reading");
        }
    }
    try {
        const qint32 exact = NumberToInt32(text);
        FUZZ_CHECK(whole && std::nearbyint(*whole) == exact, "a whole number converted wrongly");
    } catch (const ConversionError&) {
    }
    try {
        (void)NumberToInt16(text);
    } catch (const ConversionError&) {
    }

    // Colours never fail.
    (void)DeriveColor(text);
    (void)ReadsAsBooleanFalse(text);
    if (text.size() <= 8) {
        (void)ParseHexDigits(text);
    }

    // Every bit pattern, subnormals and the extremes included, as a number to write out.
    if (size >= sizeof(double)) {
        double value;
        std::memcpy(&value, data, sizeof value);
        checkRoundTrip(value);
        convertAll(value);
        float single;
        std::memcpy(&single, data, sizeof single);
        checkSingleRoundTrip(single);
    }
    return 0;
}
