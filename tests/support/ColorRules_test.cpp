#include "support/ColorRules.h"

#include <QString>

#include <gtest/gtest.h>

#include <optional>

using namespace corvane;

namespace {

// What a colour text names; nothing where DeriveColor falls back to black.
struct ColourText {
    const char16_t* text;
    std::optional<qint32> named;
};

const ColourText kColourTexts[] = {
    // Words in any letter case.
    {u"Grey", 14737632}, // the light grey, not a middle grey
    {u"LIGHTGREY", 14737632},
    {u"vbRed", 255},
    {u"Blue", 16711680}, // blue in the third byte
    {u"amber", 13762046},
    {u"DarkGrey", 8421504},
    {u"black", 0},
    // Numbers, decimal and hexadecimal.
    {u"255", 255},
    {u"&HFF", 255},
    {u"&hff0000", 16711680},
    {u"&H8000000F", static_cast<qint32>(0x8000000F)},
    {u"12.6", 13},
    {u"12.5", 12}, // half to even
    {u"13.5", 14},
    {u" 42 ", 42},
    {u"-1", -1},
    {u"2147483647", 2147483647},
    {u"-2147483648.5", static_cast<qint32>(-2147483648LL)},
    {u"0", 0},
    // Nothing named: black by default.
    {u"", std::nullopt},
    {u"purple", std::nullopt},
    {u" red", std::nullopt}, // words are not trimmed
    {u"255abc", std::nullopt},
    {u"2147483648", std::nullopt},
    {u"2147483647.5", std::nullopt}, // rounds to 2147483648
    {u"1e400", std::nullopt},
    {u"&H123456789", std::nullopt},
};

} // namespace

TEST(ColorRules, DeriveColorAndReadColorShareOneRule) {
    for (const ColourText& row : kColourTexts) {
        const QString text = QString::fromUtf16(row.text);
        EXPECT_EQ(ReadColor(text), row.named) << text.toStdString();
        EXPECT_EQ(DeriveColor(text), row.named.value_or(0)) << text.toStdString();
    }
}
