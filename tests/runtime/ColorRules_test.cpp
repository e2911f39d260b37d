#include "runtime/ColorRules.h"

#include <QString>

#include <gtest/gtest.h>

using namespace corvane;

TEST(DeriveColor, ColourWordsInAnyCase) {
    const struct {
        const char* word;
        qint32 number;
    } table[] = {
        {"vbBlack", 0},          {"BLACK", 0},       {"vbRED", 255},          {"red", 255},
        {"VbGreen", 65280},      {"green", 65280},   {"vbyellow", 65535},     {"Yellow", 65535},
        {"vbblue", 16711680},    {"Blue", 16711680}, {"vbmagenta", 16711935}, {"magenta", 16711935},
        {"vbcyan", 16776960},    {"cyan", 16776960}, {"vbwhite", 16777215},   {"White", 16777215},
        {"LightGrey", 14737632}, {"Grey", 14737632}, {"GREY", 14737632},      {"darkgrey", 8421504},
        {"Amber", 13762046},
    };
    for (const auto& entry : table) {
        EXPECT_EQ(DeriveColor(QString::fromLatin1(entry.word)), entry.number) << entry.word;
    }
}

TEST(DeriveColor, NumbersDecimalAndHexadecimal) {
    EXPECT_EQ(DeriveColor(u"255"), 255);
    EXPECT_EQ(DeriveColor(u"&HFF"), 255);
    EXPECT_EQ(DeriveColor(u"&hff0000"), 16711680);
    EXPECT_EQ(DeriveColor(u"&H8000000F"), static_cast<qint32>(0x8000000F));
    EXPECT_EQ(DeriveColor(u"12.6"), 13);
    EXPECT_EQ(DeriveColor(u"12.5"), 12); // half to even
    EXPECT_EQ(DeriveColor(u"13.5"), 14);
    EXPECT_EQ(DeriveColor(u" 42 "), 42);
    EXPECT_EQ(DeriveColor(u"-1"), -1);
    EXPECT_EQ(DeriveColor(u"2147483647"), 2147483647);
}

TEST(DeriveColor, NeverFails) {
    EXPECT_EQ(DeriveColor(u""), 0);
    EXPECT_EQ(DeriveColor(u"purple"), 0);
    EXPECT_EQ(DeriveColor(u" red"), 0); // words are not trimmed
    EXPECT_EQ(DeriveColor(u"255abc"), 0);
    EXPECT_EQ(DeriveColor(u"2147483648"), 0);
    EXPECT_EQ(DeriveColor(u"2147483647.5"), 0); // rounds to 2147483648
    EXPECT_EQ(DeriveColor(u"-2147483648.5"), static_cast<qint32>(-2147483648LL));
    EXPECT_EQ(DeriveColor(u"1e400"), 0);
    EXPECT_EQ(DeriveColor(u"&H123456789"), 0);
}
