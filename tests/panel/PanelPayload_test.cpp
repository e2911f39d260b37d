#include "panel/DefinitionXml.h"
#include "panel/PanelPayload.h"
#include "panel/ParseStringToColl.h"
#include "panel/QtPrinting.h"

#include <gtest/gtest.h>

using namespace corvane;

namespace {
const QString kSep(QChar(31));
}

TEST(SplitPanelPayload, TitleAndDefinition) {
    EXPECT_FALSE(SplitPanelPayload(QStringLiteral("Title only <p/>")));
    EXPECT_FALSE(SplitPanelPayload(QString()));

    auto two = SplitPanelPayload("Studio 1" + kSep + "<p/>");
    ASSERT_TRUE(two);
    EXPECT_EQ(two->title, "Studio 1");
    EXPECT_EQ(two->definition, "<p/>");

    auto three = SplitPanelPayload("T" + kSep + "<p/>" + kSep + "extra" + kSep);
    ASSERT_TRUE(three);
    EXPECT_EQ(three->title, "T");
    EXPECT_EQ(three->definition, "<p/>");

    auto empty = SplitPanelPayload(kSep);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->title, "");
    EXPECT_EQ(empty->definition, "");

    // A definition at the limit comes whole; one beyond it comes cut one character past the
    // limit, still beyond it, whatever follows.
    const qsizetype limit = DefinitionLimits::kMaxCharacters;
    for (const qsizetype length : {limit, limit + 1, limit + 5}) {
        const QString definition(length, QLatin1Char('x'));
        for (const QString& tail : {QString(), kSep + "extra"}) {
            auto split = SplitPanelPayload("T" + kSep + definition + tail);
            ASSERT_TRUE(split);
            EXPECT_EQ(split->definition.size(), std::min(length, limit + 1));
            EXPECT_EQ(IsWithinDefinitionLimits(split->definition), length <= limit);
        }
    }
}

TEST(ParseStringToColl, SplitsAfterRemovingOneTrailingDelimiter) {
    const auto parse = [](QString text, const QString& delimiter, QString* after = nullptr) {
        QStringList list{QStringLiteral("kept")};
        ParseStringToColl(text, list, delimiter);
        if (after) {
            *after = text;
        }
        return list;
    };
    QString after;
    EXPECT_EQ(parse("a,b,", ",", &after), QStringList({"kept", "a", "b"}));
    EXPECT_EQ(after, "a,b");
    EXPECT_EQ(parse("a,,b", ","), QStringList({"kept", "a", "", "b"}));
    EXPECT_EQ(parse(",", ",", &after), QStringList({"kept"}));
    EXPECT_EQ(after, "");
    EXPECT_EQ(parse("", ","), QStringList({"kept"}));
    EXPECT_EQ(parse("a,,", ",", &after), QStringList({"kept", "a", ""}));
    EXPECT_EQ(parse("x||y||", "||"), QStringList({"kept", "x", "y"}));
    EXPECT_EQ(parse("aXb", "x"), QStringList({"kept", "aXb"})); // case-sensitive
    EXPECT_EQ(parse("m1" + kSep + "m2" + kSep, kSep), QStringList({"kept", "m1", "m2"}));
}
