// Where the connection marks go on a built panel: the banner across the top and the "No meter
// data" mark in a corner, neither ever over a meter, and what they show when.

#include "LivePanel.h"

#include "runtime/ConnectionMarks.h"
#include "runtime/CoreLostBanner.h"
#include "runtime/NoMeterDataMark.h"

#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::test;

namespace {

// A panel of 6000 x 4000 twips (400 x 267 pixels and the title bar's room) with meters where
// the text says: "tl", "tr", "bl", "br" in those corners, "top" along the top edge, "mid"
// in the middle.
QString panelWithMeters(const QStringList& places) {
    QString controls;
    for (const QString& place : places) {
        const int left = place.contains('r') ? 5400 : place == "mid" ? 2700 : 0;
        const int top = place.startsWith('b') ? 3600 : place == "mid" ? 1500 : 0;
        const int width = place == "top" ? 6000 : 600;
        controls += QStringLiteral("<c><type>meter</type><name>%1</name><left>%2</left>"
                                   "<top>%3</top><width>%4</width><height>600</height></c>")
                        .arg(place)
                        .arg(left)
                        .arg(top)
                        .arg(width);
    }
    const QString window = "<name>P</name><width>6000</width><height>3800</height>";
    return "<panel>" + window + "<controllist>" + controls + "</controllist></panel>";
}

QList<QRect> meterPlaces(LivePanel& panel, const QStringList& names) {
    QList<QRect> places;
    for (const QString& name : names) {
        places << panel.control(name)->geometry();
    }
    return places;
}

bool coversAny(const QRect& mark, const QList<QRect>& meters) {
    return std::any_of(meters.cbegin(), meters.cend(),
                       [&](const QRect& meter) { return meter.intersects(mark); });
}

} // namespace

TEST(ConnectionMarks, TheMarkTakesTheFirstCornerFreeOfMetersElseRoomBelowThePanel) {
    const struct {
        QStringList meters;
        const char* corner; // where the mark goes: "br", "bl", "tr", "tl", or "below"
    } rows[] = {
        {{}, "br"},
        {{"mid"}, "br"},
        {{"br"}, "bl"},
        {{"br", "bl"}, "tr"},
        {{"br", "bl", "tr"}, "tl"},
        {{"br", "bl", "tr", "tl"}, "below"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.corner);
        LivePanel panel(panelWithMeters(row.meters));
        ConnectionMarks& marks = *panel.window().findChild<ConnectionMarks*>();
        const QSize windowBefore = panel.window().size();
        const QList<QRect> before = meterPlaces(panel, row.meters);

        marks.meterState(true, false);
        ASSERT_TRUE(marks.markShown());
        const QRect mark = marks.mark()->geometry();
        const QList<QRect> meters = meterPlaces(panel, row.meters);
        EXPECT_FALSE(coversAny(mark, meters));
        EXPECT_TRUE(panel.window().rect().contains(mark));
        const QPoint centre = panel.window().rect().center();
        const QString corner = QString(mark.center().y() > centre.y() ? "b" : "t") +
                               (mark.center().x() > centre.x() ? "r" : "l");
        if (QString(row.corner) == "below") {
            EXPECT_GT(panel.window().height(), windowBefore.height());
            for (const QRect& meter : meters) {
                EXPECT_GT(mark.top(), meter.bottom());
            }
        } else {
            EXPECT_EQ(corner, row.corner);
            EXPECT_EQ(panel.window().size(), windowBefore);
            EXPECT_EQ(meters, before);
        }

        // Levels back, or metering off: the mark goes, and so does any room kept for it.
        marks.meterState(true, true);
        EXPECT_FALSE(marks.markShown());
        marks.meterState(true, false);
        EXPECT_TRUE(marks.markShown());
        marks.meterState(false, false);
        EXPECT_FALSE(marks.markShown());
        EXPECT_EQ(panel.window().size(), windowBefore);
        EXPECT_EQ(meterPlaces(panel, row.meters), before);
    }
}

// The banner is a band across the top over a pane that covers the panel. Where meters start
// within the band, the panel moves down to make room for it until it is current again.
TEST(ConnectionMarks, TheBannerNamesTheServerAndMakesRoomForMetersAtTheTop) {
    const struct {
        QStringList meters;
        bool makesRoom;
    } rows[] = {{{"mid", "br"}, false}, {{"top"}, true}, {{"tl", "br"}, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.meters.join(',').toStdString());
        LivePanel panel(panelWithMeters(row.meters));
        ConnectionMarks& marks = *panel.window().findChild<ConnectionMarks*>();
        const QSize windowBefore = panel.window().size();
        const QList<QRect> before = meterPlaces(panel, row.meters);

        marks.coreLost("10.0.0.1:5200");
        ASSERT_TRUE(marks.bannerShown());
        EXPECT_EQ(marks.bannerText(), "Core connection lost: trying 10.0.0.1:5200\u2026");
        marks.tryingCore("[fd00::2]:5300");
        EXPECT_EQ(marks.bannerText(), "Core connection lost: trying [fd00::2]:5300\u2026");
        const int band = marks.banner()->bandHeight();
        EXPECT_GE(band, 30); // large enough to read from across the room
        EXPECT_EQ(marks.banner()->geometry(), panel.window().rect());
        const QList<QRect> meters = meterPlaces(panel, row.meters);
        for (const QRect& meter : meters) {
            EXPECT_GE(meter.top(), band);
        }
        EXPECT_EQ(meters != before, row.makesRoom);
        EXPECT_EQ(panel.window().height() - windowBefore.height(), row.makesRoom ? band : 0);

        // The Core answers after the loss: nothing changes until the panel is built again.
        marks.tryingCore("10.0.0.1:5200");
        EXPECT_TRUE(marks.bannerShown());
        marks.panelBuilt();
        EXPECT_FALSE(marks.bannerShown());
        EXPECT_TRUE(marks.bannerText().isEmpty());
        EXPECT_EQ(meterPlaces(panel, row.meters), before);
        EXPECT_EQ(panel.window().size(), windowBefore);
        // A server tried while the Core is connected shows no banner.
        marks.tryingCore("10.0.0.3:5200");
        EXPECT_FALSE(marks.bannerShown());
    }
}
