#include "support/KeyedCollection.h"
#include "support/NumberRules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace corvane;

TEST(NumericPrefix, TakesTheLongestNumberAtTheStart) {
    EXPECT_EQ(NumericPrefix(u"  42abc"), 42);
    EXPECT_EQ(NumericPrefix(u"-12.5px"), -12.5);
    EXPECT_EQ(NumericPrefix(u"+3"), 3);
    EXPECT_EQ(NumericPrefix(u".5"), 0.5);
    EXPECT_EQ(NumericPrefix(u"5."), 5);
    EXPECT_EQ(NumericPrefix(u"1e3x"), 1000);
    EXPECT_EQ(NumericPrefix(u"2E-1"), 0.2);
    EXPECT_EQ(NumericPrefix(u"7e"), 7); // an exponent without digits is not part of it
    EXPECT_EQ(NumericPrefix(u"7e+"), 7);
    EXPECT_EQ(NumericPrefix(u"05200"), 5200);
    EXPECT_EQ(NumericPrefix(u"1.2.3"), 1.2);
    // Line breaks before the number are blanks too, as a pretty-printed definition has them.
    EXPECT_EQ(NumericPrefix(u"\n  1500\n"), 1500);
    EXPECT_EQ(NumericPrefix(u"\r\n\t-2.5\r\n"), -2.5);
    EXPECT_EQ(NumericPrefix(u"\n &HFF\n"), 255);
}

TEST(NumericPrefix, TextWithoutANumberIsZero) {
    EXPECT_EQ(NumericPrefix(u""), 0);
    EXPECT_EQ(NumericPrefix(u"abc"), 0);
    EXPECT_EQ(NumericPrefix(u"on"), 0);
    EXPECT_EQ(NumericPrefix(u"-"), 0);
    EXPECT_EQ(NumericPrefix(u"."), 0);
    EXPECT_EQ(NumericPrefix(u"x12"), 0);
}

TEST(NumericPrefix, ReadsHexadecimalAfterTheMarker) {
    EXPECT_EQ(NumericPrefix(u"&HFF"), 255);
    EXPECT_EQ(NumericPrefix(u" &hff zz"), 255);
    EXPECT_EQ(NumericPrefix(u"&HFF0000"), 16711680);
    EXPECT_EQ(NumericPrefix(u"&H"), 0);
    EXPECT_EQ(NumericPrefix(u"&H8000000F"), static_cast<qint32>(0x8000000F));
}

TEST(NumericPrefix, BelowTheSmallestDoubleIsZeroAndBeyondTheLargestIsInfinite) {
    // Too small for a double reads as the nearest double, a zero of the number's sign, so that
    // a width or an I/O number written this way converts instead of stopping the panel.
    EXPECT_EQ(NumericPrefix(u"1e-400"), 0);
    EXPECT_FALSE(std::signbit(NumericPrefix(u"1e-400")));
    EXPECT_TRUE(std::signbit(NumericPrefix(u"-1e-400")));
    EXPECT_EQ(NumericPrefix(u"2.4e-324"), 0);
    EXPECT_GT(NumericPrefix(u"3e-324"), 0); // the smallest double, not zero
    EXPECT_EQ(NumericPrefix(u"1000e-400"), 0);
    EXPECT_EQ(ReadsAsNumber(QStringLiteral("0.") + QString(400, u'0') + QLatin1Char('1')), 0.0);
    EXPECT_EQ(NumberToInt32(u" 1E-99999999999999999999 "), 0);
    EXPECT_EQ(ToInt16(NumericPrefix(u"-.0000001e-999px")), 0);

    EXPECT_EQ(NumericPrefix(u"0.001e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(NumericPrefix(u"-1e99999999999999999999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(ReadsAsNumber(QStringLiteral("1") + QString(400, u'0')),
              std::numeric_limits<double>::infinity());
    // The digits before and after the point count as much as the exponent.
    EXPECT_EQ(NumericPrefix(QStringLiteral("0.") + QString(500, u'0') + QStringLiteral("1e900")),
              std::numeric_limits<double>::infinity());
    EXPECT_EQ(NumericPrefix(QStringLiteral("1") + QString(500, u'0') + QStringLiteral("e-900")), 0);
}

TEST(ReadsAsNumber, AcceptsOnlyWholeNumbers) {
    EXPECT_EQ(ReadsAsNumber(u" 12 "), 12.0);
    EXPECT_EQ(ReadsAsNumber(u"-2.5e1"), -25.0);
    EXPECT_EQ(ReadsAsNumber(u"&H1F"), 31.0);
    EXPECT_FALSE(ReadsAsNumber(u""));
    EXPECT_FALSE(ReadsAsNumber(u"   "));
    EXPECT_FALSE(ReadsAsNumber(u"12abc"));
    EXPECT_FALSE(ReadsAsNumber(u"fast"));
    EXPECT_FALSE(ReadsAsNumber(u"&HXYZ"));
    EXPECT_FALSE(ReadsAsNumber(u"1 2"));
}

TEST(IntegerConversion, RoundsHalfToEven) {
    EXPECT_EQ(ToInt16(2.5), 2);
    EXPECT_EQ(ToInt16(3.5), 4);
    EXPECT_EQ(ToInt16(-10.5), -10);
    EXPECT_EQ(ToInt16(3.7), 4);
    EXPECT_EQ(ToInt32(12.6), 13);
    EXPECT_EQ(ToInt32(-0.5), 0);
}

TEST(IntegerConversion, OutOfRangeIsAConversionError) {
    EXPECT_EQ(ToInt16(32767), 32767);
    EXPECT_EQ(ToInt16(-32768), -32768);
    EXPECT_EQ(ToInt16(32767.4), 32767);
    EXPECT_THROW(ToInt16(32767.5), ConversionError); // rounds to 32768
    EXPECT_THROW(ToInt16(40000), ConversionError);
    EXPECT_THROW(ToInt16(-32769), ConversionError);
    EXPECT_EQ(ToInt32(2147483647.0), 2147483647);
    EXPECT_THROW(ToInt32(2147483648.0), ConversionError);
    EXPECT_THROW(ToInt32(NumericPrefix(u"99999999999")), ConversionError);
    EXPECT_THROW(ToInt32(NumericPrefix(u"1e400")), ConversionError);
}

TEST(IntegerConversion, WholeTextMustBeANumber) {
    EXPECT_EQ(NumberToInt32(u" 15 "), 15);
    EXPECT_EQ(NumberToInt16(u"&H10"), 16);
    EXPECT_THROW(NumberToInt32(u""), ConversionError);
    EXPECT_THROW(NumberToInt32(u"12a"), ConversionError);
    EXPECT_THROW(NumberToInt16(u"40000"), ConversionError);
}

TEST(BooleanText, FalseIsTheWordOrZero) {
    EXPECT_TRUE(ReadsAsBooleanFalse(u"false"));
    EXPECT_TRUE(ReadsAsBooleanFalse(u"FALSE"));
    EXPECT_TRUE(ReadsAsBooleanFalse(u" False "));
    EXPECT_TRUE(ReadsAsBooleanFalse(u"0"));
    EXPECT_TRUE(ReadsAsBooleanFalse(u"0.0"));
    EXPECT_TRUE(ReadsAsBooleanFalse(u"&H0"));
    EXPECT_FALSE(ReadsAsBooleanFalse(u"true"));
    EXPECT_FALSE(ReadsAsBooleanFalse(u"-1"));
    EXPECT_FALSE(ReadsAsBooleanFalse(u"no"));
    EXPECT_FALSE(ReadsAsBooleanFalse(u""));
    EXPECT_EQ(BoolText(true), "True");
    EXPECT_EQ(BoolText(false), "False");
}

TEST(ShortestSingleText, WritesTheShortestRoundTrip) {
    EXPECT_EQ(ShortestSingleText(1440.0f), "1440");
    EXPECT_EQ(ShortestSingleText(1.0f), "1");
    EXPECT_EQ(ShortestSingleText(2.5f), "2.5");
    EXPECT_EQ(ShortestSingleText(-12.5f), "-12.5");
    EXPECT_EQ(ShortestSingleText(0.1f), "0.1");
    EXPECT_EQ(ShortestSingleText(0.0f), "0");
    EXPECT_EQ(ShortestSingleText(1e20f), "1E+20");
    EXPECT_EQ(ShortestSingleText(2.5f, QLatin1Char(',')), "2,5");
}

TEST(KeyedCollection, KeysIgnoreCaseAndKeepOrder) {
    KeyedCollection<int> collection;
    EXPECT_TRUE(collection.add("Alpha", 1));
    EXPECT_TRUE(collection.add("beta", 2));
    EXPECT_FALSE(collection.add("ALPHA", 3)); // present: the old entry stays
    ASSERT_NE(collection.find("alpha"), nullptr);
    EXPECT_EQ(*collection.find("aLpHa"), 1);
    EXPECT_EQ(collection.find("gamma"), nullptr);
    EXPECT_TRUE(collection.add("", 4)); // the empty key is a key like any other
    EXPECT_FALSE(collection.add("", 5));

    // Removing and adding again moves the key to the end.
    EXPECT_TRUE(collection.remove("ALPHA"));
    EXPECT_FALSE(collection.remove("alpha"));
    EXPECT_TRUE(collection.add("alpha", 6));
    QStringList order;
    for (const auto& entry : collection) {
        order << entry.key;
    }
    EXPECT_EQ(order, QStringList({"beta", "", "alpha"}));
    EXPECT_EQ(collection.size(), 3);
}

TEST(ShortestDecimalText, KeepsDoublePrecision) {
    EXPECT_EQ(ShortestDecimalText(2.5), "2.5");
    EXPECT_EQ(ShortestDecimalText(0.1), "0.1");
    EXPECT_EQ(ShortestDecimalText(1.0 / 3.0), "0.3333333333333333");
    EXPECT_EQ(ShortestDecimalText(-1e300), "-1E+300");
}
