#include "meters/LevelLineParser.h"

#include "support/NumberRules.h"

#include <QString>

#include <array>

namespace corvane {

namespace {

constexpr QByteArrayView kLinePrefix("MTR ");
constexpr qsizetype kMinTokens = 6;
constexpr qsizetype kUsedTokens = 7;

// The common case, a plain integer of a few digits, read without leaving the bytes.
std::optional<qint16> plainInteger(QByteArrayView token) {
    qsizetype i = 0;
    const bool negative = !token.isEmpty() && token[0] == '-';
    if (!token.isEmpty() && (token[0] == '-' || token[0] == '+')) {
        ++i;
    }
    const qsizetype digits = token.size() - i;
    if (digits < 1 || digits > 9) {
        return std::nullopt;
    }
    qint32 value = 0;
    for (; i < token.size(); ++i) {
        const char c = token[i];
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    value = negative ? -value : value;
    if (value < -32768 || value > 32767) {
        return std::nullopt;
    }
    return static_cast<qint16>(value);
}

enum class Read { NotANumber, OutOfRange, Number };

Read readNumber(QByteArrayView token, qint16& out) {
    if (const auto plain = plainInteger(token)) {
        out = *plain;
        return Read::Number;
    }
    const auto number = ReadsAsNumber(QString::fromLatin1(token.data(), token.size()));
    if (!number) {
        return Read::NotANumber;
    }
    try {
        out = ToInt16(*number);
        return Read::Number;
    } catch (const ConversionError&) {
        return Read::OutOfRange;
    }
}

// "NAME:left:right" with exactly three parts and two numbers. A pair of another form is
// NotANumber (its levels stay 0); a level beyond 16 bits is OutOfRange.
Read readLevelPair(QByteArrayView token, QByteArrayView name, qint16& left, qint16& right) {
    const qsizetype first = token.indexOf(':');
    if (first < 0 || token.first(first) != name) {
        return Read::NotANumber;
    }
    const qsizetype second = token.indexOf(':', first + 1);
    if (second < 0 || token.indexOf(':', second + 1) >= 0) {
        return Read::NotANumber;
    }
    qint16 l = 0;
    qint16 r = 0;
    const Read readLeft = readNumber(token.sliced(first + 1, second - first - 1), l);
    const Read readRight = readNumber(token.sliced(second + 1), r);
    if (readLeft == Read::NotANumber || readRight == Read::NotANumber) {
        return Read::NotANumber;
    }
    if (readLeft == Read::OutOfRange || readRight == Read::OutOfRange) {
        return Read::OutOfRange;
    }
    left = l;
    right = r;
    return Read::Number;
}

} // namespace

std::optional<qint16> LevelLineNumber(QByteArrayView token) {
    qint16 value = 0;
    if (readNumber(token, value) == Read::Number) {
        return value;
    }
    return std::nullopt;
}

std::optional<clsMeterData> ParseLevelLine(QByteArrayView line) {
    if (line.size() <= kLinePrefix.size() || !line.startsWith(kLinePrefix)) {
        return std::nullopt;
    }
    std::array<QByteArrayView, kUsedTokens> tokens;
    qsizetype count = 0;
    qsizetype start = 0;
    while (count < kUsedTokens) {
        const qsizetype space = line.indexOf(' ', start);
        const qsizetype end = space < 0 ? line.size() : space;
        tokens[count++] = line.sliced(start, end - start);
        if (space < 0) {
            break;
        }
        start = space + 1;
    }
    if (count < kMinTokens) {
        return std::nullopt;
    }
    const auto router = LevelLineNumber(tokens[2]);
    const auto io = LevelLineNumber(tokens[3]);
    if (!router || !io) {
        return std::nullopt;
    }
    clsMeterData reading;
    reading.ISDest = tokens[1] == QByteArrayView("DST");
    reading.Router = *router;
    reading.IO = *io;
    reading.Path = QLatin1String(tokens[4].data(), tokens[4].size());
    // A pair that is not of its form is not delivered; a level that does not fit 16 bits
    // makes the line unreadable, rather than showing a made-up level.
    const Read peaks = readLevelPair(tokens[5], "PEEK", reading.PeekL, reading.PeekR);
    if (peaks == Read::OutOfRange) {
        return std::nullopt;
    }
    reading.hasPeaks = peaks == Read::Number;
    if (count >= kUsedTokens) {
        const Read rms = readLevelPair(tokens[6], "RMS", reading.RmsL, reading.RmsR);
        if (rms == Read::OutOfRange) {
            return std::nullopt;
        }
        reading.hasRms = rms == Read::Number;
        reading.rmsUnreadable = !reading.hasRms;
    }
    return reading;
}

} // namespace corvane
