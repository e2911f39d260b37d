#include "components/LedMeter.h"
#include "components/MeterTick.h"
#include "components/ScaleText.h"

#include "support/Wait.h"

#include <QBackingStore>
#include <QFontMetrics>
#include <QImage>
#include <QPaintEvent>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace corvane {
namespace {

using test::pumpEvents;
using test::waitUntil;

// Records the paint events a widget receives.
class PaintSpy : public QObject {
public:
    explicit PaintSpy(QWidget* widget) { widget->installEventFilter(this); }
    std::vector<QRect> rects;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            rects.push_back(static_cast<QPaintEvent*>(event)->rect());
        }
        return false;
    }
};

struct ManualClock {
    qint64 now = 0;
    LedMeter::Clock clock() {
        return [this] { return now; };
    }
};

QImage render(LedMeter& meter) {
    return meter.grab().toImage();
}

// Scale labels are measured once a font; a font or sample asked about again, after more than
// are remembered, must still measure as Qt measures it.
TEST(LedMeter, ScaleTextMeasuresAsQtDoesForEveryFontInTurn) {
    std::vector<QFont> fonts;
    for (int points = 6; points <= 16; ++points) {
        QFont font;
        font.setPointSize(points);
        font.setBold(points % 2 == 0);
        fonts.push_back(font);
    }
    for (int round = 0; round < 3; ++round) {
        for (const QFont& font : fonts) {
            for (const QString& sample : {QStringLiteral("-60"), QStringLiteral("-80")}) {
                const ScaleTextSize size = MeasureScaleText(font, sample);
                EXPECT_EQ(size.width, QFontMetrics(font).horizontalAdvance(sample));
                EXPECT_EQ(size.height, QFontMetrics(font).height());
            }
        }
    }
}

TEST(LedMeter, PropertiesRoundTripUnderTheirPanelNames) {
    LedMeter meter;
    meter.setProperty("MeterStyle", 1);
    meter.setProperty("MeterScale", 2);
    meter.setProperty("LevelLineColor", 0x0000FF);
    meter.setProperty("DecayRate", 30);
    meter.setProperty("CenterPad", 6);
    EXPECT_EQ(meter.MeterStyle(), 1);
    EXPECT_EQ(meter.MeterScale(), 2);
    EXPECT_EQ(meter.LevelLineColor(), 0x0000FF);
    EXPECT_EQ(meter.DecayRate(), 30);
    EXPECT_EQ(meter.CenterPad(), 6);
    EXPECT_EQ(meter.decayDbPerSecond(), 30.0);
    meter.setDecayRate(0);
    EXPECT_EQ(meter.decayDbPerSecond(), MeterBallistics::kDefaultDecayDbPerSecond);
    // Readings are delivered by name at run time.
    EXPECT_TRUE(
        QMetaObject::invokeMethod(&meter, "SetPeakLevels", Q_ARG(qint32, -7), Q_ARG(qint32, -9)));
    EXPECT_EQ(meter.levelLeft(), -7);
    EXPECT_EQ(meter.levelRight(), -9);
}

TEST(LedMeter, TakesLevelsAsGivenWithoutScalingOrClamping) {
    ManualClock t;
    LedMeter meter;
    meter.setClock(t.clock());
    meter.SetPeakLevels(32767, -2000000000);
    EXPECT_EQ(meter.levelLeft(), 32767);
    EXPECT_EQ(meter.levelRight(), -2000000000);
    EXPECT_EQ(meter.shownLevelLeft(), 32767);
    EXPECT_EQ(meter.peakHoldLeft(), 32767);
    meter.SetPeakLevels(-12, -3);
    EXPECT_EQ(meter.levelLeft(), -12);
    EXPECT_EQ(meter.shownLevelRight(), -3);
}

TEST(LedMeter, PeakHoldAndFallFollowTheClock) {
    ManualClock t;
    LedMeter meter;
    meter.setClock(t.clock());
    meter.setDecayRate(20);
    meter.setPeakHoldMs(1000);
    t.now = 5000;
    meter.SetPeakLevels(-6, -12);
    t.now = 5100;
    meter.SetPeakLevels(-40, -40);
    t.now = 5600;
    meter.advanceToNow();
    // The fall begins when the level drops: 500 ms at 20 dB/s.
    EXPECT_NEAR(meter.shownLevelLeft(), -16, 1e-9);
    EXPECT_NEAR(meter.shownLevelRight(), -22, 1e-9);
    EXPECT_EQ(meter.peakHoldLeft(), -6);
    t.now = 6500; // 500 ms past the hold time
    meter.advanceToNow();
    EXPECT_NEAR(meter.peakHoldLeft(), -16, 1e-9);
    EXPECT_NEAR(meter.shownLevelLeft(), -34, 1e-9);
    // No reading for over a second: the level is no longer measured, and the meter falls
    // past its last reading at the same rate, from the moment the readings stopped.
    t.now = 7000;
    meter.advanceToNow();
    EXPECT_NEAR(meter.shownLevelLeft(), -44, 1e-9);
    t.now = 60000;
    meter.advanceToNow();
    EXPECT_EQ(meter.peakHoldLeft(), MeterBallistics::kSilence);
    EXPECT_EQ(meter.shownLevelRight(), MeterBallistics::kSilence);
}

TEST(LedMeter, MetersWithoutReadingsFallAndAMeterWithoutDataIsMarked) {
    ManualClock t;
    LedMeter meter;
    meter.setClock(t.clock());
    meter.resize(48, 200);
    const QImage silent = render(meter);

    // Steady readings keep a meter up however long it shows them.
    for (t.now = 0; t.now <= 5000; t.now += 500) {
        meter.SetPeakLevels(-6, -6);
        meter.setRmsLevels(-12, -12);
        meter.advanceToNow();
    }
    EXPECT_EQ(meter.shownLevelLeft(), -6);
    const QImage live = render(meter);
    EXPECT_NE(live, silent);

    // Readings stop: a second later it starts to fall, RMS and hold too, and ends silent.
    t.now = 6000;
    meter.advanceToNow();
    EXPECT_EQ(meter.shownLevelLeft(), -6);
    t.now = 100000;
    EXPECT_EQ(render(meter), silent);
    EXPECT_EQ(meter.shownRmsLeft(), MeterBallistics::kSilence);
    EXPECT_FALSE(meter.noData());

    // The levels stop being measured at all: down at once, hold included, and marked.
    meter.SetPeakLevels(-3, -3);
    meter.showNoData();
    EXPECT_TRUE(meter.noData());
    EXPECT_EQ(meter.peakHoldLeft(), MeterBallistics::kSilence);
    const QImage marked = render(meter);
    EXPECT_NE(marked, silent);
    meter.showNoData();
    EXPECT_EQ(render(meter), marked);

    // The first reading clears the mark.
    meter.SetPeakLevels(MeterBallistics::kSilence, MeterBallistics::kSilence);
    EXPECT_FALSE(meter.noData());
    EXPECT_EQ(render(meter), silent);
}

TEST(LedMeter, DrawsDifferentPixelsForDifferentLevelsAndStyles) {
    ManualClock t;
    LedMeter meter;
    meter.setClock(t.clock());
    meter.resize(48, 200);
    const QImage silent = render(meter);
    meter.SetPeakLevels(-3, -3);
    const QImage loud = render(meter);
    EXPECT_NE(silent, loud);
    meter.SetPeakLevels(-30, -3);
    EXPECT_EQ(render(meter), loud) << "no fall without elapsed time";
    t.now = 500;
    const QImage leftLower = render(meter);
    EXPECT_NE(leftLower, loud); // the bar falls, the hold stays...
    t.now = 100000;
    meter.SetPeakLevels(-30, -30);
    const QImage quiet = render(meter);
    EXPECT_NE(quiet, leftLower); // ...until the clock has moved on

    meter.setMeterStyle(1);
    EXPECT_NE(render(meter), quiet);
    meter.setMeterStyle(0);
    EXPECT_EQ(render(meter), quiet);
    meter.setMeterScale(2);
    EXPECT_NE(render(meter), quiet);
    meter.setMeterScale(0);
    meter.setLevelLineColor(0x0000FF); // red in the 0x00BBGGRR layout
    const QImage redLine = render(meter);
    EXPECT_NE(redLine, quiet);
    bool sawRed = false;
    for (int y = 0; y < redLine.height() && !sawRed; ++y) {
        for (int x = 0; x < redLine.width() && !sawRed; ++x) {
            sawRed = redLine.pixelColor(x, y) == QColor(255, 0, 0);
        }
    }
    EXPECT_TRUE(sawRed);

    // Horizontal when wider than tall: the bars grow from the left.
    meter.resize(200, 40);
    const QImage wideQuiet = render(meter);
    meter.SetPeakLevels(-1, -1);
    const QImage wideLoud = render(meter);
    EXPECT_EQ(wideLoud.pixelColor(20, 6), wideQuiet.pixelColor(20, 6)) << "below -30 dB";
    EXPECT_NE(wideLoud.pixelColor(150, 6), wideQuiet.pixelColor(150, 6));
}

// The window's own image in device pixels. (A screen grab of the offscreen platform is cut to
// layout pixels when the pixel ratio is above 1.)
QImage windowImage(QWidget* window) {
    const auto* stored = dynamic_cast<const QImage*>(window->backingStore()->paintDevice());
    return stored ? stored->copy() : QImage();
}

TEST(LedMeter, LitSegmentsCoverExactlyTheUnlitOnesOnScreen) {
    // A lit bar is copied over the unlit one piece by piece. At a fractional pixel ratio, and
    // with the meter at a place in its window that falls between device pixels, the two must
    // still lie on the same device pixels, or the meter shows seams and doubled edges.
    for (const QRect place : {QRect(7, 7, 41, 200), QRect(10, 5, 50, 161), QRect(3, 11, 37, 133),
                              QRect(5, 9, 203, 41)}) {
        ManualClock t;
        QWidget window;
        window.resize(230, 230);
        auto* meter = new LedMeter(&window);
        meter->setClock(t.clock());
        meter->setMeterScale(MeterScaleStandard);
        meter->setGeometry(place);
        PaintSpy spy(meter);
        window.show();
        ASSERT_TRUE(waitUntil([&] { return !spy.rects.empty(); }));
        pumpEvents(2 * MeterTick::kIntervalMs);
        const QImage silent = windowImage(&window);
        spy.rects.clear();
        meter->SetPeakLevels(0, 0);
        ASSERT_TRUE(waitUntil([&] { return !spy.rects.empty(); }));
        pumpEvents(2 * MeterTick::kIntervalMs);
        const QImage full = windowImage(&window);
        ASSERT_FALSE(silent.isNull());
        ASSERT_EQ(silent.size(), full.size());
        ASSERT_NE(silent, full);
        const QRgb ground = meter->colors().background.rgb();
        int differing = 0;
        for (int y = 0; y < silent.height(); ++y) {
            for (int x = 0; x < silent.width(); ++x) {
                differing += (silent.pixel(x, y) == ground) != (full.pixel(x, y) == ground);
            }
        }
        EXPECT_EQ(differing, 0) << "meter at " << place.x() << "," << place.y() << ", "
                                << place.width() << "x" << place.height() << ", pixel ratio "
                                << meter->devicePixelRatioF();
    }
}

TEST(LedMeter, SharedTickRepaintsOnlyTheBarsAndStopsWhenSettled) {
    ManualClock t;
    auto meter = std::make_unique<LedMeter>();
    PaintSpy spy(meter.get());
    meter->setClock(t.clock());
    meter->setPeakHoldMs(0);
    meter->resize(60, 240);
    meter->show();
    ASSERT_TRUE(waitUntil([&] { return !spy.rects.empty(); }));
    ASSERT_TRUE(waitUntil([&] { return MeterTick::instance().activeCount() == 0; }));
    spy.rects.clear();

    meter->SetPeakLevels(-10, -32768);
    EXPECT_EQ(MeterTick::instance().activeCount(), 1);
    ASSERT_TRUE(waitUntil([&] { return !spy.rects.empty(); }));
    for (const QRect& r : spy.rects) {
        EXPECT_GT(r.left(), 10) << "the scale on the left is not repainted";
        EXPECT_LT(r.width(), meter->width() / 2 + 8);
    }

    // Falls are painted as the clock moves; a settled meter leaves the tick.
    spy.rects.clear();
    meter->SetPeakLevels(-32768, -32768);
    t.now += 100000;
    ASSERT_TRUE(waitUntil([&] { return MeterTick::instance().activeCount() == 0; }));
    ASSERT_TRUE(waitUntil([&] { return !spy.rects.empty(); }));
    pumpEvents(2 * MeterTick::kIntervalMs);

    // Nothing that changes no pixel causes a repaint.
    const size_t paints = spy.rects.size();
    meter->SetPeakLevels(-32768, -32768);
    meter->setMeterStyle(meter->MeterStyle());
    meter->setMeterScale(meter->MeterScale());
    meter->setCenterPad(meter->CenterPad());
    meter->setLevelLineColor(meter->LevelLineColor());
    pumpEvents(4 * MeterTick::kIntervalMs);
    EXPECT_EQ(spy.rects.size(), paints);
    EXPECT_EQ(MeterTick::instance().activeCount(), 0);

    // Destroying a ticking meter takes it off the tick.
    meter->SetPeakLevels(-1, -1);
    EXPECT_EQ(MeterTick::instance().activeCount(), 1);
    meter.reset();
    EXPECT_EQ(MeterTick::instance().activeCount(), 0);
}

TEST(LedMeter, FramesPaintedByTheTickMatchAFullRepaint) {
    for (int style : {0, 1}) {
        ManualClock t;
        LedMeter meter;
        meter.setClock(t.clock());
        meter.setMeterStyle(style);
        meter.setPeakHoldMs(200);
        meter.resize(style == 0 ? 50 : 220, style == 0 ? 200 : 44);
        meter.show();
        // Rising, falling, holds and RMS cores, each frame painted only where the tick says.
        for (int i = 0; i < 40; ++i) {
            t.now += 45;
            meter.SetPeakLevels(-((i * 7) % 50), -((i * 13) % 55));
            meter.setRmsLevels(-20 - (i % 9), i % 4 == 0 ? -3 : -30);
            pumpEvents(5);
        }
        t.now += 100000;
        ASSERT_TRUE(waitUntil([&] { return MeterTick::instance().activeCount() == 0; }));
        pumpEvents(2 * MeterTick::kIntervalMs);
        const QImage onScreen = windowImage(&meter);
        const QImage repainted = render(meter);
        EXPECT_EQ(onScreen.convertToFormat(QImage::Format_RGB32),
                  repainted.convertToFormat(QImage::Format_RGB32))
            << "style " << style;
    }
}

TEST(LedMeter, HiddenMetersDoNotTick) {
    LedMeter meter;
    meter.SetPeakLevels(-1, -1);
    EXPECT_EQ(MeterTick::instance().activeCount(), 0);
    EXPECT_EQ(meter.levelLeft(), -1);
}

} // namespace
} // namespace corvane
