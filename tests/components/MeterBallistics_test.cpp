#include "components/MeterBallistics.h"
#include "components/MeterScaleMap.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(MeterScaleMap, MapsEachScaleMonotonicallyOntoTheBar) {
    for (int code : {0, 1, 2}) {
        const MeterScaleMap scale(code);
        EXPECT_DOUBLE_EQ(scale.fractionForDb(0), 1.0) << code;
        EXPECT_DOUBLE_EQ(scale.fractionForDb(40), 1.0) << code;
        EXPECT_DOUBLE_EQ(scale.fractionForDb(scale.floorDb()), 0.0) << code;
        EXPECT_DOUBLE_EQ(scale.fractionForDb(-32768), 0.0) << code;
        double last = -1;
        for (double db = scale.floorDb(); db <= 0; db += 0.5) {
            const double f = scale.fractionForDb(db);
            EXPECT_GT(f, last) << "scale " << code << " at " << db;
            last = f;
        }
    }
}

TEST(MeterScaleMap, ScalesDifferWhereOperatorsReadThem) {
    EXPECT_DOUBLE_EQ(MeterScaleMap(0).fractionForDb(-30), 0.5);
    // The standard scale spends more of the bar on the top 10 dB than the linear one.
    EXPECT_GT(1.0 - MeterScaleMap(1).fractionForDb(-10), 1.0 - MeterScaleMap(0).fractionForDb(-10));
    // British marks 1..7 are four dB apart and evenly spaced, mark 4 at the alignment level.
    const MeterScaleMap british(2);
    ASSERT_EQ(british.marks().size(), 7u);
    EXPECT_EQ(british.marks()[3].label, "4");
    EXPECT_DOUBLE_EQ(british.marks()[3].db, -18.0);
    const double step = british.fractionForDb(-22) - british.fractionForDb(-26);
    EXPECT_NEAR(british.fractionForDb(-6) - british.fractionForDb(-10), step, 1e-9);
    // Unknown codes fall back to the linear scale rather than failing.
    EXPECT_EQ(MeterScaleMap(7).kind(), MeterScaleLinear);
    EXPECT_EQ(MeterScaleMap(-1).kind(), MeterScaleLinear);
}

TEST(MeterBallistics, RisesAtOnceAndFallsByElapsedTime) {
    MeterBallistics b;
    b.setDecayDbPerSecond(20);
    b.setPeakHoldMs(0);
    b.setReading(-10, 1000);
    EXPECT_EQ(b.shownDb(), -10);
    b.setReading(-50, 1000);
    EXPECT_EQ(b.reading(), -50);
    EXPECT_EQ(b.shownDb(), -10); // no fall without elapsed time

    // The fall depends on time only: one big step equals many small ones.
    MeterBallistics stepped = b;
    b.advance(1250);
    for (qint64 t = 1010; t <= 1250; t += 10) {
        stepped.advance(t);
    }
    EXPECT_NEAR(b.shownDb(), -15, 1e-9);
    EXPECT_NEAR(stepped.shownDb(), -15, 1e-9);

    b.advance(10000); // never below the reading
    EXPECT_EQ(b.shownDb(), -50);
    EXPECT_TRUE(b.settled());
}

TEST(MeterBallistics, HoldsThePeakForItsTimeThenLetsItFall) {
    MeterBallistics b;
    b.setDecayDbPerSecond(10);
    b.setPeakHoldMs(1500);
    b.setReading(-6, 0);
    b.setReading(-40, 100);
    b.advance(1500);
    EXPECT_EQ(b.peakHoldDb(), -6);
    EXPECT_LT(b.shownDb(), -6);
    b.advance(2000); // 500 ms past the hold time at 10 dB/s
    EXPECT_NEAR(b.peakHoldDb(), -11, 1e-9);
    // A new peak at or above the hold restarts it.
    b.setReading(-3, 2100);
    b.advance(3500);
    EXPECT_EQ(b.peakHoldDb(), -3);
}

TEST(MeterBallistics, DefaultsAndDrawableRange) {
    MeterBallistics b;
    b.setDecayDbPerSecond(0);
    EXPECT_EQ(b.decayDbPerSecond(), MeterBallistics::kDefaultDecayDbPerSecond);
    b.setDecayDbPerSecond(-5);
    EXPECT_EQ(b.decayDbPerSecond(), MeterBallistics::kDefaultDecayDbPerSecond);

    // A reading far above full scale must not keep the bar full while it "falls" through
    // values nobody can see: the fall starts at the ceiling.
    b.setDecayDbPerSecond(10);
    b.setPeakHoldMs(0);
    b.setDrawableRange(-60, 0);
    b.setReading(30000, 0);
    EXPECT_EQ(b.shownDb(), 30000); // shown as given until time passes
    b.setReading(-40, 0);
    b.advance(1000);
    EXPECT_NEAR(b.shownDb(), -10, 1e-9);
    // Below the floor nothing more is visible, so the level rests on the reading.
    b.setReading(-20000, 1000);
    b.advance(7000);
    EXPECT_EQ(b.shownDb(), -20000);
    EXPECT_TRUE(b.settled());
}

} // namespace
} // namespace corvane
