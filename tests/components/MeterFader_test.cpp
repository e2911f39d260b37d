#include "components/GainFader.h"
#include "components/LedMeter.h"
#include "components/LitButton.h"
#include "components/MeterFader.h"

#include "support/Wait.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace corvane {
namespace {

using test::waitUntil;

// A shown strip with every button available, as after the Core has sent its abilities.
struct ShownStrip {
    MeterFader strip;
    explicit ShownStrip(int index) {
        strip.setIndex(index);
        strip.resize(110, 340);
        strip.setHasOnOff(true);
        for (int bus = 1; bus <= 4; ++bus) {
            strip.setHasPGMBus(bus, true);
        }
        strip.show();
    }
};

TEST(MeterFader, MembersRoundTripWithSensibleDefaults) {
    MeterFader strip;
    EXPECT_EQ(strip.gainMinimum(), -80.0f);
    EXPECT_EQ(strip.gainMaximum(), 10.0f);
    EXPECT_FALSE(strip.HasOnOff());
    EXPECT_FALSE(strip.FaderActive());

    strip.setProperty("MeterStyle", 1);
    strip.setProperty("MeterScale", 2);
    strip.setProperty("LevelLineColor", 255);
    strip.setDecayRate(-5);
    strip.setFaderNominal(-6.5f);
    strip.setChannelName("Studio A & B");
    strip.setPGMBusOn(3, true);
    EXPECT_EQ(strip.meter()->MeterStyle(), 1);
    EXPECT_EQ(strip.meter()->MeterScale(), 2);
    EXPECT_EQ(strip.LevelLineColor(), 255);
    EXPECT_EQ(strip.DecayRate(), -5);
    EXPECT_EQ(strip.fader()->nominal(), -6.5f);
    EXPECT_EQ(strip.ChannelName(), "Studio A & B");
    EXPECT_TRUE(strip.PGMBusOn(3));
    EXPECT_FALSE(strip.PGMBusOn(2));
    // Bus numbers outside 1..4 are neither stored nor a failure.
    strip.setPGMBusOn(0, true);
    strip.setHasPGMBus(5, true);
    EXPECT_FALSE(strip.PGMBusOn(0));
    EXPECT_FALSE(strip.HasPGMBus(5));
    EXPECT_EQ(strip.pgmBusButton(5), nullptr);

    strip.SetGainRange(10.0f, -60.0f); // reversed by the caller
    EXPECT_EQ(strip.gainMinimum(), -60.0f);
    EXPECT_EQ(strip.gainMaximum(), 10.0f);

    strip.setFaderActive(true);
    strip.setFaderLevel(-20.5f);
    EXPECT_EQ(strip.gainLabel()->text(), QLocale().toString(-20.5, 'f', 1) + " dB");
    strip.setHideGainValue(true);
    strip.show();
    EXPECT_FALSE(strip.gainLabel()->isVisible());
}

TEST(MeterFader, ButtonsFollowTheAbilities) {
    MeterFader strip;
    strip.show();
    EXPECT_FALSE(strip.onOffButton()->isVisible());
    strip.setHasOnOff(true);
    strip.setHasPGMBus(2, true);
    EXPECT_TRUE(strip.onOffButton()->isVisible());
    EXPECT_TRUE(strip.pgmBusButton(2)->isVisible());
    EXPECT_FALSE(strip.pgmBusButton(1)->isVisible());
    strip.setHasOnOff(false);
    EXPECT_FALSE(strip.onOffButton()->isVisible());
}

TEST(MeterFader, ClicksRaiseEventsButLeaveTheStateToTheProgram) {
    ShownStrip s(7);
    s.strip.setChannelOn(true);
    QSignalSpy onOff(&s.strip, &MeterFader::OnOffClicked);
    QSignalSpy bus(&s.strip, &MeterFader::PGMBusClicked);

    QTest::mouseClick(s.strip.onOffButton(), Qt::LeftButton);
    ASSERT_EQ(onOff.count(), 1);
    EXPECT_EQ(onOff.at(0).at(0).toInt(), 7);
    EXPECT_TRUE(s.strip.ChannelOn());
    EXPECT_TRUE(s.strip.onOffButton()->isLit());

    QTest::mouseClick(s.strip.pgmBusButton(3), Qt::LeftButton);
    QTest::mouseClick(s.strip.pgmBusButton(1), Qt::LeftButton);
    ASSERT_EQ(bus.count(), 2);
    EXPECT_EQ(bus.at(0).at(0).toInt(), 7);
    EXPECT_EQ(bus.at(0).at(1).toInt(), 3);
    EXPECT_EQ(bus.at(1).at(1).toInt(), 1);
    for (int b = 1; b <= 4; ++b) {
        EXPECT_FALSE(s.strip.PGMBusOn(b));
        EXPECT_FALSE(s.strip.pgmBusButton(b)->isLit());
    }

    // The light changes when the program sets the state.
    s.strip.setPGMBusOn(3, true);
    EXPECT_TRUE(s.strip.pgmBusButton(3)->isLit());
}

TEST(MeterFader, ProgramGainsRaiseNoFaderEvents) {
    ShownStrip s(2);
    QSignalSpy changed(&s.strip, &MeterFader::FaderLevelChanged);
    QSignalSpy drag(&s.strip, &MeterFader::FaderLevelDrag);
    s.strip.setFaderActive(true);
    s.strip.setFaderLevel(-20.5f);
    s.strip.setFaderLevel(-100.0f); // outside the range: kept, drawn at the bottom
    s.strip.SetGainRange(-60.0f, 0.0f);
    EXPECT_EQ(s.strip.FaderLevel(), -100.0f);
    EXPECT_EQ(s.strip.fader()->value(), -100.0f);
    test::pumpEvents(20);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(drag.count(), 0);
}

TEST(MeterFader, OperatorDragRaisesChangedThenDragStepsWithTheIndex) {
    ShownStrip s(4);
    s.strip.setFaderActive(true);
    s.strip.setFaderLevel(-20.0f);
    GainFader* fader = s.strip.fader();
    QSignalSpy changed(&s.strip, &MeterFader::FaderLevelChanged);
    QSignalSpy drag(&s.strip, &MeterFader::FaderLevelDrag);

    const QPoint grip = fader->capRect().center();
    QTest::mousePress(fader, Qt::LeftButton, {}, grip);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toInt(), 4);
    EXPECT_EQ(drag.count(), 0) << "grabbing the cap does not move it";

    // The handler of each drag step reads FaderLevel, so it must already hold the step.
    QList<float> levelsSeenByHandler;
    QObject::connect(&s.strip, &MeterFader::FaderLevelDrag, &s.strip,
                     [&](int, float) { levelsSeenByHandler << s.strip.FaderLevel(); });
    for (int dy = 5; dy <= 25; dy += 5) {
        QTest::mouseMove(fader, grip - QPoint(0, dy));
    }
    QTest::mouseRelease(fader, Qt::LeftButton, {}, grip - QPoint(0, 25));
    ASSERT_EQ(drag.count(), 5);
    float last = -20.0f;
    for (int i = 0; i < drag.count(); ++i) {
        EXPECT_EQ(drag.at(i).at(0).toInt(), 4);
        const float level = drag.at(i).at(1).toFloat();
        EXPECT_GT(level, last) << "dragging up raises the gain";
        EXPECT_EQ(levelsSeenByHandler.at(i), level);
        last = level;
    }
    EXPECT_EQ(s.strip.FaderLevel(), last);
    // The cap follows the pointer, give or take the 0.1 dB steps.
    EXPECT_NEAR(fader->capRect().center().y(), grip.y() - 25, 1);

    // A wheel notch is a gesture of its own: changed, then one step.
    QWheelEvent wheel(QPointF(grip), fader->mapToGlobal(QPointF(grip)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(fader, &wheel);
    EXPECT_EQ(changed.count(), 2);
    ASSERT_EQ(drag.count(), 6);
    EXPECT_FLOAT_EQ(drag.at(5).at(1).toFloat(), last + GainFader::kFineStepDb);
}

TEST(MeterFader, OperatorCannotDragPastTheRange) {
    ShownStrip s(1);
    s.strip.SetGainRange(-30.0f, 6.0f);
    QSignalSpy drag(&s.strip, &MeterFader::FaderLevelDrag);
    GainFader* fader = s.strip.fader();
    QTest::mousePress(fader, Qt::LeftButton, {}, QPoint(fader->width() / 2, 2));
    QTest::mouseMove(fader, QPoint(fader->width() / 2, -500));
    QTest::mouseRelease(fader, Qt::LeftButton, {}, QPoint(fader->width() / 2, -500));
    ASSERT_GE(drag.count(), 1);
    EXPECT_EQ(s.strip.FaderLevel(), 6.0f);
}

TEST(MeterFader, UserTimerBelongsToEachStrip) {
    MeterFader first;
    MeterFader second;
    first.setIndex(1);
    second.setIndex(2);
    QSignalSpy firstTimer(&first, &MeterFader::UserTimer);
    QSignalSpy secondTimer(&second, &MeterFader::UserTimer);

    first.setUserTimerEnabled(true); // no interval yet: silent
    first.setUserTimerInterval(30);
    second.setUserTimerInterval(60000);
    second.setUserTimerEnabled(true);
    ASSERT_TRUE(waitUntil([&] { return firstTimer.count() >= 2; }));
    EXPECT_EQ(firstTimer.at(0).at(0).toInt(), 1);
    EXPECT_EQ(secondTimer.count(), 0);

    first.setUserTimerEnabled(false);
    const int fired = firstTimer.count();
    test::pumpEvents(100);
    EXPECT_EQ(firstTimer.count(), fired);
}

TEST(MeterFader, ReadingsWithoutRmsDrawNoRmsCore) {
    MeterFader strip;
    strip.SetMeterLevels(-10, -12, -20, -22);
    EXPECT_EQ(strip.meter()->levelLeft(), -10);
    EXPECT_EQ(strip.meter()->levelRight(), -12);
    EXPECT_TRUE(strip.meter()->hasRms());
    EXPECT_EQ(strip.meter()->shownRmsRight(), -22);
    strip.SetMeterLevels(-10, -12, 0, 0);
    EXPECT_FALSE(strip.meter()->hasRms());
}

} // namespace
} // namespace corvane
