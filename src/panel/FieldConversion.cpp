#include "panel/FieldConversion.h"

#include "support/NumberRules.h"

#include <cmath>
#include <limits>

namespace corvane {

namespace {

constexpr qsizetype kMaxShownValue = 40;

// The value as an author wrote it, blanks trimmed and cut short when long.
QString shown(const QString& value) {
    const QString text = value.trimmed();
    return text.size() <= kMaxShownValue ? text : text.left(kMaxShownValue) + QChar(0x2026);
}

template <typename Int>
QString outOfRange(const QString& key, const QString& value, double number, const char* unit) {
    const QString suffix = unit ? QLatin1Char(' ') + QLatin1String(unit) : QString();
    if (!std::isfinite(number)) {
        return QStringLiteral("%1 %2 is not a finite number").arg(key, shown(value));
    }
    if (number > 0) {
        return QStringLiteral("%1 %2 is beyond %3%4")
            .arg(key, shown(value))
            .arg(std::numeric_limits<Int>::max())
            .arg(suffix);
    }
    return QStringLiteral("%1 %2 is below %3%4")
        .arg(key, shown(value))
        .arg(std::numeric_limits<Int>::min())
        .arg(suffix);
}

} // namespace

QString ExplainConversionFailure(const QString& key, const QString& value, NumberField kind) {
    switch (kind) {
    case NumberField::Twips16:
        return outOfRange<qint16>(key, value, NumericPrefix(value), "twips");
    case NumberField::Prefix16:
        return outOfRange<qint16>(key, value, NumericPrefix(value), nullptr);
    case NumberField::WholeNumber16:
        return outOfRange<qint16>(key, value, ReadsAsNumber(value).value_or(0), nullptr);
    case NumberField::WholeNumber32:
        if (value.trimmed().isEmpty()) {
            return QStringLiteral("%1 is empty, but must be a number").arg(key);
        }
        if (const auto number = ReadsAsNumber(value)) {
            return outOfRange<qint32>(key, value, *number, nullptr);
        }
        return QStringLiteral("%1 \"%2\" is not a number").arg(key, shown(value));
    case NumberField::None:
        break;
    }
    return QStringLiteral("%1 \"%2\" cannot be converted").arg(key, shown(value));
}

} // namespace corvane
