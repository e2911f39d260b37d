#include "components/GainFader.h"
#include "components/LedMeter.h"
#include "components/LitButton.h"
#include "components/MeterFader.h"
#include "panel/ControlArrays.h"
#include "panel/FormBuilder.h"
#include "panel/PanelDefinitionReader.h"
#include "panel/PanelState.h"
#include "protocol/ClientProtocolConsts.h"
#include "protocol/FrameBuilder.h"
#include "runtime/FaderActions.h"
#include "support/AddressLookup.h"
#include "support/NumberRules.h"
#include "support/RecordingSender.h"
#include "support/Wait.h"

#include <QAccessible>
#include <QApplication>
#include <QLayout>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace corvane {
namespace {

using test::waitUntil;

// The strip's parts, found by the names it gives them.
template <typename Part> Part* part(const MeterFader& strip, const QString& name) {
    return strip.findChild<Part*>(name);
}
GainFader* faderOf(const MeterFader& strip) {
    return part<GainFader>(strip, "fader");
}
LitButton* busButton(const MeterFader& strip, int bus) {
    return part<LitButton>(strip, QStringLiteral("pgmBus%1").arg(bus));
}

// A shown strip with every button available, as after the Core has sent its abilities and,
// unless asked otherwise, a first gain.
struct ShownStrip {
    MeterFader strip;
    explicit ShownStrip(int index, bool gainKnown = true) {
        strip.setIndex(index);
        strip.resize(110, 340);
        strip.setHasOnOff(true);
        for (int bus = 1; bus <= 4; ++bus) {
            strip.setHasPGMBus(bus, true);
        }
        strip.setFaderActive(gainKnown);
        strip.show();
    }
};

TEST(MeterFader, MembersRoundTripWithSensibleDefaults) {
    MeterFader strip;
    GainFader* fader = faderOf(strip);
    ASSERT_NE(fader, nullptr);
    EXPECT_EQ(fader->minimumDb(), -80.0f);
    EXPECT_EQ(fader->maximumDb(), 10.0f);
    EXPECT_FALSE(strip.HasOnOff());
    EXPECT_FALSE(strip.FaderActive());

    strip.setProperty("MeterStyle", 1);
    strip.setProperty("MeterScale", 2);
    strip.setProperty("LevelLineColor", 255);
    strip.setDecayRate(-5);
    strip.setFaderNominal(-6.5f);
    strip.setChannelName("Studio A & B");
    strip.setPGMBusOn(3, true);
    auto* meter = part<LedMeter>(strip, "meter");
    ASSERT_NE(meter, nullptr);
    EXPECT_EQ(meter->MeterStyle(), 1);
    EXPECT_EQ(meter->MeterScale(), 2);
    EXPECT_EQ(strip.LevelLineColor(), 255);
    EXPECT_EQ(strip.DecayRate(), -5);
    EXPECT_EQ(fader->nominal(), -6.5f);
    EXPECT_EQ(strip.ChannelName(), "Studio A & B");
    EXPECT_TRUE(strip.PGMBusOn(3));
    EXPECT_FALSE(strip.PGMBusOn(2));
    // Bus numbers outside 1..4 are neither stored nor a failure.
    strip.setPGMBusOn(0, true);
    strip.setHasPGMBus(5, true);
    EXPECT_FALSE(strip.PGMBusOn(0));
    EXPECT_FALSE(strip.HasPGMBus(5));
    EXPECT_EQ(busButton(strip, 5), nullptr);

    strip.SetGainRange(10.0f, -60.0f); // reversed by the caller
    EXPECT_EQ(fader->minimumDb(), -60.0f);
    EXPECT_EQ(fader->maximumDb(), 10.0f);

    EXPECT_EQ(strip.shownGain(), "-- dB");
    strip.setFaderActive(true);
    strip.setFaderLevel(-20.5f);
    EXPECT_EQ(strip.shownGain(), QLocale().toString(-20.5, 'f', 1) + " dB");
    strip.setHideGainValue(true);
    strip.show();
    EXPECT_EQ(strip.shownGain(), "");
}

TEST(MeterFader, ButtonsFollowTheAbilities) {
    // A button is made only when its ability first comes, lit as the state already says.
    MeterFader strip;
    strip.show();
    strip.setChannelOn(true);
    strip.setPGMBusOn(2, true);
    EXPECT_EQ(part<LitButton>(strip, "onOff"), nullptr);
    strip.setHasOnOff(false);
    EXPECT_EQ(part<LitButton>(strip, "onOff"), nullptr);
    strip.setHasPGMBus(2, true);
    strip.setHasOnOff(true);
    auto* onOff = part<LitButton>(strip, "onOff");
    ASSERT_NE(onOff, nullptr);
    EXPECT_TRUE(onOff->isVisible());
    EXPECT_TRUE(onOff->isLit());
    ASSERT_NE(busButton(strip, 2), nullptr);
    EXPECT_TRUE(busButton(strip, 2)->isVisible());
    EXPECT_TRUE(busButton(strip, 2)->isLit());
    EXPECT_EQ(busButton(strip, 1), nullptr);
    // The on/off button stands above the buses, whichever came first.
    EXPECT_LT(onOff->geometry().bottom(), busButton(strip, 2)->geometry().top());
    strip.setHasOnOff(false);
    EXPECT_FALSE(onOff->isVisible());

    // Whatever shows, at any size, the parts lie within the strip, none over another, and
    // the meter and the fader keep room.
    for (const QSize size : {QSize(100, 320), QSize(60, 500), QSize(180, 240)}) {
        for (int abilities = 0; abilities < 32; ++abilities) {
            SCOPED_TRACE(abilities);
            strip.resize(size);
            strip.setHasOnOff((abilities & 1) != 0);
            for (int bus = 1; bus <= MeterFader::kBusCount; ++bus) {
                strip.setHasPGMBus(bus, (abilities & (1 << bus)) != 0);
            }
            QList<QRect> shown;
            for (QWidget* child : strip.findChildren<QWidget*>()) {
                if (child->isVisible()) {
                    shown.append(child->geometry());
                }
            }
            for (qsizetype i = 0; i < shown.size(); ++i) {
                EXPECT_TRUE(strip.rect().contains(shown[i])) << i;
                for (qsizetype j = i + 1; j < shown.size(); ++j) {
                    EXPECT_FALSE(shown[i].intersects(shown[j])) << i << " " << j;
                }
            }
            EXPECT_GT(part<LedMeter>(strip, "meter")->height(), size.height() / 3);
            EXPECT_GT(part<GainFader>(strip, "fader")->width(), size.width() / 3);
        }
    }
}

TEST(MeterFader, ClicksRaiseEventsButLeaveTheStateToTheProgram) {
    ShownStrip s(7);
    s.strip.setChannelOn(true);
    QSignalSpy onOff(&s.strip, &MeterFader::OnOffClicked);
    QSignalSpy bus(&s.strip, &MeterFader::PGMBusClicked);
    auto* onOffButton = part<LitButton>(s.strip, "onOff");

    QTest::mouseClick(onOffButton, Qt::LeftButton);
    ASSERT_EQ(onOff.count(), 1);
    EXPECT_EQ(onOff.at(0).at(0).toInt(), 7);
    EXPECT_TRUE(s.strip.ChannelOn());
    EXPECT_TRUE(onOffButton->isLit());

    QTest::mouseClick(busButton(s.strip, 3), Qt::LeftButton);
    QTest::mouseClick(busButton(s.strip, 1), Qt::LeftButton);
    ASSERT_EQ(bus.count(), 2);
    EXPECT_EQ(bus.at(0).at(0).toInt(), 7);
    EXPECT_EQ(bus.at(0).at(1).toInt(), 3);
    EXPECT_EQ(bus.at(1).at(1).toInt(), 1);
    for (int b = 1; b <= 4; ++b) {
        EXPECT_FALSE(s.strip.PGMBusOn(b));
        EXPECT_FALSE(busButton(s.strip, b)->isLit());
    }

    // The light changes when the program sets the state.
    s.strip.setPGMBusOn(3, true);
    EXPECT_TRUE(busButton(s.strip, 3)->isLit());
}

TEST(MeterFader, ProgramGainsRaiseNoFaderEventsAndKeepTheirValue) {
    ShownStrip s(2);
    QSignalSpy changed(&s.strip, &MeterFader::FaderLevelChanged);
    QSignalSpy drag(&s.strip, &MeterFader::FaderLevelDrag);
    GainFader* fader = faderOf(s.strip);
    s.strip.setFaderLevel(-20.56f); // between two tenths: kept as given, drawn at the nearer
    EXPECT_EQ(s.strip.FaderLevel(), -20.56f);
    EXPECT_EQ(fader->value(), -206);
    s.strip.setFaderLevel(-100.0f); // outside the range: kept, drawn at the bottom
    s.strip.SetGainRange(-60.0f, 0.0f);
    EXPECT_EQ(s.strip.FaderLevel(), -100.0f);
    EXPECT_EQ(fader->value(), -600);
    s.strip.SetGainRange(-120.0f, 0.0f); // a wider range shows the gain where it belongs
    EXPECT_EQ(fader->value(), -1000);
    // Placing the fader while the operator holds it raises nothing either.
    QTest::mousePress(fader, Qt::LeftButton, {}, fader->capRect().center());
    s.strip.setFaderLevel(-30.0f);
    QTest::mouseRelease(fader, Qt::LeftButton, {}, fader->capRect().center());
    test::pumpEvents(20);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(drag.count(), 0);
}

// A strip on a panel built as the main window builds it, with the program's fader actions
// connected: every change locks the fader against the Core's gains and is sent to the Core,
// and the lock clears once the operator has let go. The lock is short so that the test need
// not wait five seconds.
struct WiredStrip {
    static constexpr int kLockMs = 40;
    static inline const QString kAddressBlock = PointAddressBlock(1, 10, true);

    QWidget window;
    ControlArrays arrays;
    PanelState panel;
    test::RecordingSender core;
    AddressLookup addresses;
    FaderActions actions{panel, arrays, core, addresses, kLockMs};
    MeterFader* strip = nullptr;

    WiredStrip() {
        arrays.createTemplates(&window);
        const bool read = PanelDefinitionReader(panel).AnalyzeXML(QStringLiteral(
            "<panel><controllist><c><type>meterfader</type><name>Mic</name>"
            "<meterrouternumber>1</meterrouternumber><meterionumber>10</meterionumber>"
            "<meterissource>true</meterissource></c></controllist></panel>"));
        EXPECT_TRUE(read);
        FormBuilder(panel, arrays, &window, nullptr).BuildForm();
        strip = arrays.TesselMeterFader.at(1);
        actions.connectStrips();
        window.resize(200, 400);
        strip->resize(110, 340);
        strip->setFaderActive(true);
        window.show();
    }
};

void sendWheel(QWidget* widget, int angle) {
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(widget, &wheel);
}

TEST(MeterFader, TheFaderLockClearsAfterEveryOperatorGesture) {
    const float wheelStepDb =
        float(QApplication::wheelScrollLines() * GainFader::kSingleStepTenths) /
        GainFader::kTenthsPerDb;
    constexpr float kKept = NAN;        // the level must not change
    constexpr float kRaised = INFINITY; // the level must rise, by however much
    struct Gesture {
        const char* what;
        float startDb;
        std::function<void(GainFader*)> act;
        float endDb;
    };
    const auto press = [](GainFader* f, QPoint at) {
        QTest::mousePress(f, Qt::LeftButton, {}, at);
        QTest::mouseRelease(f, Qt::LeftButton, {}, at);
    };
    const auto drag = [](GainFader* f, int dy) {
        const QPoint grip = f->capRect().center();
        QTest::mousePress(f, Qt::LeftButton, {}, grip);
        for (int step = 1; step <= 4; ++step) {
            QTest::mouseMove(f, grip + QPoint(0, dy * step / 4));
        }
        QTest::mouseRelease(f, Qt::LeftButton, {}, grip + QPoint(0, dy));
    };
    const std::vector<Gesture> gestures{
        {"a press on the cap", -20, [&](GainFader* f) { press(f, f->capRect().center()); }, kKept},
        {"a press, a wiggle back to the same row", -20,
         [](GainFader* f) {
             const QPoint grip = f->capRect().center();
             QTest::mousePress(f, Qt::LeftButton, {}, grip);
             QTest::mouseMove(f, grip + QPoint(3, 0));
             QTest::mouseRelease(f, Qt::LeftButton, {}, grip + QPoint(3, 0));
         },
         kKept},
        {"a right-button press on the track", -20,
         [](GainFader* f) { QTest::mouseClick(f, Qt::RightButton, {}, QPoint(f->width() / 2, 4)); },
         kKept},
        {"up at the top", 10, [](GainFader* f) { QTest::keyClick(f, Qt::Key_Up); }, kKept},
        {"page up at the top", 10, [](GainFader* f) { QTest::keyClick(f, Qt::Key_PageUp); }, kKept},
        {"down at the bottom", -80, [](GainFader* f) { QTest::keyClick(f, Qt::Key_Down); }, kKept},
        {"a wheel notch up at the top", 10, [](GainFader* f) { sendWheel(f, 120); }, kKept},
        {"a key the fader does not use", -20, [](GainFader* f) { QTest::keyClick(f, Qt::Key_A); },
         kKept},
        {"up", -20, [](GainFader* f) { QTest::keyClick(f, Qt::Key_Up); }, -19.5f},
        {"page down", -20, [](GainFader* f) { QTest::keyClick(f, Qt::Key_PageDown); }, -25.0f},
        // Home and End would throw a live channel to full gain or silence in one press.
        {"end", -20, [](GainFader* f) { QTest::keyClick(f, Qt::Key_End); }, kKept},
        {"home", -20, [](GainFader* f) { QTest::keyClick(f, Qt::Key_Home); }, kKept},
        {"a wheel notch down", -20, [](GainFader* f) { sendWheel(f, -120); }, -20.0f - wheelStepDb},
        {"a drag up", -20, [&](GainFader* f) { drag(f, -40); }, kRaised},
        // A press on the track moves one page step towards the pointer, however far it is,
        // and a move while pressed there does not drag the cap.
        {"a press on the track near the top", -20,
         [&](GainFader* f) { press(f, QPoint(f->capRect().center().x(), 2)); }, -15.0f},
        {"a press on the track near the bottom", -20,
         [&](GainFader* f) { press(f, QPoint(f->capRect().center().x(), f->height() - 2)); },
         -25.0f},
        {"a press on the track just above the cap", -20,
         [&](GainFader* f) { press(f, f->capRect().center() - QPoint(0, f->capRect().height())); },
         -15.0f},
        {"a press on the track, then a move towards the bottom", -20,
         [](GainFader* f) {
             const QPoint track(f->capRect().center().x(), 2);
             QTest::mousePress(f, Qt::LeftButton, {}, track);
             QTest::mouseMove(f, QPoint(track.x(), f->height() - 2));
             QTest::mouseRelease(f, Qt::LeftButton, {}, QPoint(track.x(), f->height() - 2));
         },
         -15.0f},
        {"assistive technology sets -10 dB", -20,
         [](GainFader* f) {
             QAccessible::queryAccessibleInterface(f)->valueInterface()->setCurrentValue(-100);
         },
         -10.0f},
    };
    for (const Gesture& gesture : gestures) {
        SCOPED_TRACE(gesture.what);
        WiredStrip s;
        ASSERT_NE(s.strip, nullptr);
        QSignalSpy changes(s.strip, &MeterFader::FaderLevelChanged);
        s.strip->setFaderLevel(gesture.startDb);
        GainFader* fader = faderOf(*s.strip);
        gesture.act(fader);

        if (std::isnan(gesture.endDb)) {
            EXPECT_EQ(changes.count(), 0);
            EXPECT_TRUE(s.core.frames.isEmpty());
            EXPECT_FALSE(s.strip->UserAdjusting());
            EXPECT_EQ(s.strip->FaderLevel(), gesture.startDb);
            continue;
        }
        // Every change locks the fader and is sent, with the level the strip holds.
        ASSERT_GE(changes.count(), 1);
        EXPECT_EQ(s.core.frames.size(), changes.count());
        EXPECT_TRUE(s.strip->UserAdjusting());
        EXPECT_EQ(s.core.frames.last(), BuildFrame(Command::LevelData, WiredStrip::kAddressBlock,
                                                   ShortestSingleText(s.strip->FaderLevel())));
        if (gesture.endDb == kRaised) {
            EXPECT_GT(s.strip->FaderLevel(), gesture.startDb);
        } else {
            EXPECT_FLOAT_EQ(s.strip->FaderLevel(), gesture.endDb);
        }
        // ...and the lock clears once the operator has let go.
        EXPECT_TRUE(waitUntil([&] { return !s.strip->UserAdjusting(); }));
    }
}

TEST(MeterFader, AFaderWithoutAGainTakesNoInputAndLooksInactive) {
    ShownStrip s(5, false);
    QSignalSpy changed(&s.strip, &MeterFader::FaderLevelChanged);
    QSignalSpy drag(&s.strip, &MeterFader::FaderLevelDrag);
    GainFader* fader = faderOf(s.strip);
    EXPECT_FALSE(fader->isEnabled());
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(fader)->state().disabled);
    const QImage inactive = fader->grab().toImage();
    QTest::mouseClick(fader, Qt::LeftButton, {}, QPoint(fader->width() / 2, 4));
    QTest::keyClick(fader, Qt::Key_PageUp);
    sendWheel(fader, 120);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(drag.count(), 0);
    EXPECT_EQ(s.strip.FaderLevel(), 0.0f);

    s.strip.setFaderActive(true);
    EXPECT_TRUE(fader->isEnabled());
    EXPECT_NE(fader->grab().toImage(), inactive);
    QTest::keyClick(fader, Qt::Key_PageUp);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(drag.count(), 1);
}

TEST(MeterFader, OperatorDragRaisesChangedThenDragStepsWithTheIndex) {
    ShownStrip s(4);
    s.strip.setFaderLevel(-20.0f);
    GainFader* fader = faderOf(s.strip);
    QSignalSpy changed(&s.strip, &MeterFader::FaderLevelChanged);
    QSignalSpy drag(&s.strip, &MeterFader::FaderLevelDrag);
    QSignalSpy pressed(fader, &QAbstractSlider::sliderPressed);
    QSignalSpy released(fader, &QAbstractSlider::sliderReleased);

    const QPoint grip = fader->capRect().center();
    QTest::mousePress(fader, Qt::LeftButton, {}, grip);
    EXPECT_EQ(pressed.count(), 1);
    EXPECT_EQ(changed.count(), 0) << "grabbing the cap changes nothing";
    EXPECT_EQ(drag.count(), 0);

    // The handler of each drag step reads FaderLevel, so it must already hold the step; the
    // lock's event comes before each of them.
    QList<float> levelsSeenByHandler;
    QList<int> order;
    QObject::connect(&s.strip, &MeterFader::FaderLevelChanged, &s.strip, [&](int) { order << 1; });
    QObject::connect(&s.strip, &MeterFader::FaderLevelDrag, &s.strip, [&](int, float) {
        order << 2;
        levelsSeenByHandler << s.strip.FaderLevel();
    });
    for (int dy = 5; dy <= 25; dy += 5) {
        QTest::mouseMove(fader, grip - QPoint(0, dy));
    }
    QTest::mouseRelease(fader, Qt::LeftButton, {}, grip - QPoint(0, 25));
    EXPECT_EQ(released.count(), 1);
    ASSERT_EQ(drag.count(), 5);
    EXPECT_EQ(changed.count(), 5);
    EXPECT_EQ(order, (QList<int>{1, 2, 1, 2, 1, 2, 1, 2, 1, 2}));
    float last = -20.0f;
    for (int i = 0; i < drag.count(); ++i) {
        EXPECT_EQ(changed.at(i).at(0).toInt(), 4);
        EXPECT_EQ(drag.at(i).at(0).toInt(), 4);
        const float level = drag.at(i).at(1).toFloat();
        EXPECT_GT(level, last) << "dragging up raises the gain";
        EXPECT_EQ(levelsSeenByHandler.at(i), level);
        last = level;
    }
    EXPECT_EQ(s.strip.FaderLevel(), last);
    // The cap follows the pointer, give or take the 0.1 dB steps.
    EXPECT_NEAR(fader->capRect().center().y(), grip.y() - 25, 1);
}

TEST(MeterFader, OperatorCannotDragPastTheRange) {
    ShownStrip s(1);
    s.strip.SetGainRange(-30.0f, 6.0f);
    QSignalSpy drag(&s.strip, &MeterFader::FaderLevelDrag);
    GainFader* fader = faderOf(s.strip);
    QTest::mousePress(fader, Qt::LeftButton, {}, fader->capRect().center());
    QTest::mouseMove(fader, QPoint(fader->width() / 2, -500));
    QTest::mouseRelease(fader, Qt::LeftButton, {}, QPoint(fader->width() / 2, -500));
    ASSERT_GE(drag.count(), 1);
    EXPECT_EQ(s.strip.FaderLevel(), 6.0f);
}

TEST(MeterFader, TheFaderIsAnAccessibleSliderInTenthsOfADb) {
    ShownStrip s(1);
    s.strip.setFaderLevel(-12.5f);
    s.strip.setChannelName("Presenter");
    QAccessibleInterface* slider = QAccessible::queryAccessibleInterface(faderOf(s.strip));
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->role(), QAccessible::Slider);
    EXPECT_EQ(slider->text(QAccessible::Name), "Presenter gain");
    ASSERT_NE(slider->valueInterface(), nullptr);
    EXPECT_EQ(slider->valueInterface()->currentValue().toInt(), -125);
    EXPECT_EQ(slider->valueInterface()->minimumValue().toInt(), -800);
    EXPECT_EQ(slider->valueInterface()->maximumValue().toInt(), 100);
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
    auto* meter = part<LedMeter>(strip, "meter");
    EXPECT_EQ(meter->levelLeft(), -10);
    EXPECT_EQ(meter->levelRight(), -12);
    EXPECT_TRUE(meter->hasRms());
    EXPECT_EQ(meter->shownRmsRight(), -22);
    strip.SetMeterLevels(-10, -12, 0, 0);
    EXPECT_FALSE(meter->hasRms());
}

} // namespace
} // namespace corvane
