#include "components/TSClockInterop.h"

#include "support/Twips.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(TSClockInterop, TakesPlaceSizeAndLookFromItsControlElement) {
    TSClockInterop clock;
    EXPECT_TRUE(clock.IngestXML(
        "<Clock1><Type>tsclock</Type><LEFT>1500</LEFT><Top>300 twips</Top><Width>2880</Width>"
        "<height>1440</height><Style>Analogue</Style><BackColor>&amp;HFF0000</BackColor>"
        "<forecolor>Yellow</forecolor><ShowSeconds>False</ShowSeconds></Clock1>"));
    EXPECT_EQ(clock.geometry(), QRect(twipsToPixels(1500), twipsToPixels(300), twipsToPixels(2880),
                                      twipsToPixels(1440)));
    EXPECT_EQ(clock.face(), TSClockInterop::Analogue);
    EXPECT_EQ(clock.backColor(), QColor(0, 0, 255));
    EXPECT_EQ(clock.foreColor(), QColor(255, 255, 0));
    EXPECT_FALSE(clock.showSeconds());
    EXPECT_EQ(clock.digitalText(QTime(9, 5, 7)), "09:05");

    EXPECT_TRUE(clock.IngestXML("<c><face>digital</face><showseconds>1</showseconds>"
                                "<forecolor>255</forecolor></c>"));
    EXPECT_EQ(clock.face(), TSClockInterop::Digital);
    EXPECT_EQ(clock.foreColor(), QColor(255, 0, 0));
    EXPECT_EQ(clock.digitalText(QTime(23, 59, 1)), "23:59:01");
    EXPECT_EQ(clock.geometry().left(), twipsToPixels(1500)) << "unnamed settings stay";
}

TEST(TSClockInterop, BadInputLeavesSettingsAlone) {
    TSClockInterop clock;
    clock.setGeometry(10, 20, 150, 50);
    const QColor fore = clock.foreColor();
    for (const char* xml : {"", "<clock><left>15", "not xml at all", "<a></b>", "\xff\xfe<\x01>"}) {
        EXPECT_FALSE(clock.IngestXML(QString::fromLatin1(xml))) << xml;
    }
    // Well-formed but unreadable values: each one is ignored on its own.
    EXPECT_TRUE(clock.IngestXML("<c><width>0</width><height>-300</height><left>abc</left>"
                                "<top>99999999</top><style>sundial</style>"
                                "<forecolor>no such colour</forecolor><showseconds>maybe"
                                "</showseconds><width>1e308</width></c>"));
    EXPECT_EQ(clock.geometry(), QRect(10, 20, 150, 50));
    EXPECT_EQ(clock.face(), TSClockInterop::Digital);
    EXPECT_EQ(clock.foreColor(), fore);
    EXPECT_TRUE(clock.showSeconds());
}

TEST(TSClockInterop, DrawsTheTimeItIsGivenInEitherFace) {
    TSClockInterop clock;
    clock.resize(160, 120);
    QDateTime at(QDate(2024, 1, 1), QTime(10, 10, 0));
    clock.setTimeSource([&] { return at; });
    const QImage digital = clock.grab().toImage();
    at = at.addSecs(1);
    EXPECT_NE(clock.grab().toImage(), digital);
    clock.setFace(TSClockInterop::Analogue);
    const QImage analogue = clock.grab().toImage();
    EXPECT_NE(analogue, digital);
    at = at.addSecs(60 * 17);
    EXPECT_NE(clock.grab().toImage(), analogue);
}

} // namespace
} // namespace corvane
