#include "support/ColorRules.h"

#include "support/NumberRules.h"

#include <QHash>
#include <QString>

namespace corvane {

namespace {

const QHash<QString, qint32>& colourWords() {
    static const QHash<QString, qint32> words{
        {QStringLiteral("vbblack"), 0},          {QStringLiteral("black"), 0},
        {QStringLiteral("vbred"), 255},          {QStringLiteral("red"), 255},
        {QStringLiteral("vbgreen"), 65280},      {QStringLiteral("green"), 65280},
        {QStringLiteral("vbyellow"), 65535},     {QStringLiteral("yellow"), 65535},
        {QStringLiteral("vbblue"), 16711680},    {QStringLiteral("blue"), 16711680},
        {QStringLiteral("vbmagenta"), 16711935}, {QStringLiteral("magenta"), 16711935},
        {QStringLiteral("vbcyan"), 16776960},    {QStringLiteral("cyan"), 16776960},
        {QStringLiteral("vbwhite"), 16777215},   {QStringLiteral("white"), 16777215},
        {QStringLiteral("lightgrey"), 14737632}, {QStringLiteral("grey"), 14737632},
        {QStringLiteral("darkgrey"), 8421504},   {QStringLiteral("amber"), 13762046},
    };
    return words;
}

} // namespace

std::optional<qint32> ReadColor(QStringView text) {
    if (text.isEmpty()) {
        return std::nullopt;
    }
    if (const auto number = ReadsAsNumber(text)) {
        try {
            return ToInt32(*number);
        } catch (const ConversionError&) {
            return std::nullopt;
        }
    }
    const auto word = colourWords().constFind(text.toString().toLower());
    return word != colourWords().constEnd() ? std::optional<qint32>(*word) : std::nullopt;
}

QStringList ColorWords() {
    QStringList words = colourWords().keys();
    words.sort();
    return words;
}

qint32 DeriveColor(QStringView text) {
    // Colours never fail: what names no colour, or does not fit, is black.
    return ReadColor(text).value_or(0);
}

} // namespace corvane
