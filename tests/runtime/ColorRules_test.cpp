#include "runtime/ColorRules.h"

#include <QString>

#include <gtest/gtest.h>

using namespace corvane;

TEST(DeriveColor, ColourWordsInAnyCase) {
    EXPECT_EQ(DeriveColor(u"Grey"), 14737632); // the light grey, not a middle grey
    EXPECT_EQ(DeriveColor(u"LIGHTGREY"), 14737632);
    EXPECT_EQ(DeriveColor(u"vbRed"), 255);
    EXPECT_EQ(DeriveColor(u"Blue"), 16711680); // blue in the third byte
    EXPECT_EQ(DeriveColor(u"amber"), 13762046);
    EXPECT_EQ(DeriveColor(u"DarkGrey"), 8421504);
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
