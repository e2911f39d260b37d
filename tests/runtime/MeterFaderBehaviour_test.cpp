#include "components/GainFader.h"
#include "components/LedMeter.h"
#include "components/MeterFader.h"
#include "meters/MeterRoutes.h"
#include "panel/ControlArrays.h"
#include "panel/FormBuilder.h"
#include "panel/PanelDefinitionReader.h"
#include "panel/PanelState.h"
#include "protocol/ClientProtocolConsts.h"
#include "protocol/FrameBuilder.h"
#include "runtime/CoreMeterData.h"
#include "runtime/FaderActions.h"
#include "runtime/PanelMeterPoints.h"
#include "support/AddressLookup.h"
#include "support/AppGlobals.h"
#include "support/NumberRules.h"
#include "support/RecordingSender.h"
#include "support/StripParts.h"
#include "support/Wait.h"

#include <QLocale>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

using namespace corvane;
using namespace corvane::test;

namespace {

// Channel strips on both sides of router 1, I/O 10, an LED meter on the destination, and a
// strip elsewhere.
const QString kPanel = QStringLiteral(R"(<panel><controllist>
  <c><type>meterfader</type><name>Src</name><meterrouternumber>1</meterrouternumber>
     <meterionumber>10</meterionumber><meterissource>true</meterissource></c>
  <c><type>meterfader</type><name>Dst</name><meterrouternumber>1</meterrouternumber>
     <meterionumber>10</meterionumber><meterissource>false</meterissource><left>1500</left></c>
  <c><type>meter</type><name>Led</name><meterrouternumber>1</meterrouternumber>
     <meterionumber>10</meterionumber><meterissource>false</meterissource></c>
  <c><type>meterfader</type><name>Other</name><meterrouternumber>2</meterrouternumber>
     <meterionumber>20</meterionumber><meterissource>true</meterissource><left>3000</left></c>
</controllist></panel>)");

const QString kField(QChar(31));
const QString kRecord = QString(QChar(30)) + QChar(31) + QChar(30);

// The panel built as the main window builds it, with the strips' operator side connected.
class MeterPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_window.resize(500, 400);
        m_arrays.createTemplates(&m_window);
        ASSERT_TRUE(PanelDefinitionReader(m_panel).AnalyzeXML(kPanel));
        FormBuilder(m_panel, m_arrays, &m_window, {}).BuildForm();
        m_actions.connectStrips();
        m_actions.connectStrips(); // a second build connects nothing twice
        m_window.show();
    }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    MeterFader* strip(const QString& name) {
        return qobject_cast<MeterFader*>(m_panel.collControls.find(name)->get()->pntrControl);
    }
    LedMeter* led() {
        return qobject_cast<LedMeter*>(m_panel.collControls.find("led")->get()->pntrControl);
    }
    static QString frame(int command, const QString& block, const QString& payload) {
        return BuildFrame(command, block, payload);
    }

    QWidget m_window;
    ControlArrays m_arrays;
    PanelState m_panel;
    MeterRoutes m_routes{m_panel};
    AppGlobals m_globals;
    CoreMeterData m_coreData{m_routes, m_globals};
    RecordingSender m_core;
    AddressLookup m_addresses;
    // The fader lock, short enough to wait for.
    static constexpr int kLockMs = 150;
    FaderActions m_actions{m_panel, m_arrays, m_core, m_addresses, kLockMs};
};

// What the Core's abilities leave on a strip: its range, the on/off button, buses 1 to 4.
std::string abilities(const MeterFader& s) {
    std::string buses;
    for (int bus = 1; bus <= 4; ++bus) {
        buses += s.HasPGMBus(bus) ? '1' : '0';
    }
    return std::to_string(int(stripFader(&s)->minimumDb())) + ".." +
           std::to_string(int(stripFader(&s)->maximumDb())) + (s.HasOnOff() ? " onoff " : " - ") +
           buses;
}

struct AbilityCase {
    const char* payload;
    const char* state;
};

class Abilities : public MeterPanelTest, public testing::WithParamInterface<AbilityCase> {};

TEST_P(Abilities, SetRangeButtonsAndBuses) {
    m_coreData.CheckUPMeterAbilities(1, 10, false, GetParam().payload);
    EXPECT_EQ(abilities(*strip("src")), GetParam().state);
    EXPECT_EQ(abilities(*strip("dst")), "-80..10 - 0000") << "another point";
}

INSTANTIATE_TEST_SUITE_P(
    MeterPanel, Abilities,
    testing::Values(AbilityCase{"gainmin=-600,gainmax=120", "-60..12 - 0000"},
                    AbilityCase{"gainmax=120", "-80..10 - 0000"}, // needs both in one message
                    AbilityCase{"gainmin=abc,gainmax=120", "-80..10 - 0000"},
                    AbilityCase{"GainMin=-600,GAINMAX=120,HasOnOff=TRUE", "-60..12 onoff 0000"},
                    AbilityCase{"pgm3=TRUE,pgm=true,pgmx=true,pgm1=false,hasonoff=yes",
                                "-80..10 - 0010"},
                    AbilityCase{"junk,=,a=b=c,pgm2=true,pgm9=true", "-80..10 - 0100"}));

// The on/off and bus lights after an add-ons message, starting from all on.
std::string addOns(const MeterFader& s) {
    std::string state = s.ChannelOn() ? "1 " : "0 ";
    for (int bus = 1; bus <= 4; ++bus) {
        state += s.PGMBusOn(bus) ? '1' : '0';
    }
    return state;
}

class AddOns : public MeterPanelTest, public testing::WithParamInterface<AbilityCase> {};

TEST_P(AddOns, LightTheChannelAndBuses) {
    for (MeterFader* s : {strip("src"), strip("dst")}) {
        s->setChannelOn(true);
        for (int bus = 1; bus <= 4; ++bus) {
            s->setPGMBusOn(bus, true);
        }
    }
    m_coreData.CheckUPMeterAddOns(1, 10, true, GetParam().payload);
    EXPECT_EQ(addOns(*strip("dst")), GetParam().state);
    EXPECT_EQ(addOns(*strip("src")), "1 1111") << "another point";
}

INSTANTIATE_TEST_SUITE_P(MeterPanel, AddOns,
                         testing::Values(AbilityCase{"TFTFF", "1 0100"},
                                         AbilityCase{"T", "1 0111"}, // buses 2-4 untouched
                                         AbilityCase{"", "0 1111"}, AbilityCase{"tF", "0 0011"},
                                         AbilityCase{"FTTTTF", "0 1111"}));

TEST_F(MeterPanelTest, CoreLevelsOnlyInCoreMeteringModeGainsAlways) {
    // Router 1 in hexadecimal, I/O 10; four-digit levels from 8000 up are below zero.
    const QString levels = "0001" + kField + "10" + kField + "True" + kField + "FFEC:FFEA" +
                           kRecord + "1" + kField + "10" + kField + "false" + kField +
                           "FFEC:FFEA:FFE2:FFE0:-20.5";
    const qint32 silent = led()->levelLeft();
    m_coreData.CheckUserFormMeters(levels);
    EXPECT_EQ(led()->levelLeft(), silent) << "levels from the Core need core metering mode";
    EXPECT_EQ(stripMeter(strip("src"))->levelLeft(), silent);
    EXPECT_TRUE(strip("src")->FaderActive());
    EXPECT_EQ(strip("src")->FaderLevel(), -20.5f);
    EXPECT_FALSE(strip("dst")->FaderActive()) << "a record with two values carries no gain";

    m_globals.boolCoreMeterMode = true;
    m_coreData.CheckUserFormMeters(levels);
    EXPECT_EQ(led()->levelLeft(), -20);
    EXPECT_EQ(led()->levelRight(), -22);
    EXPECT_EQ(stripMeter(strip("dst"))->levelRight(), -22);
    EXPECT_FALSE(stripMeter(strip("dst"))->hasRms());
    EXPECT_EQ(stripMeter(strip("src"))->levelRight(), -22);
    EXPECT_TRUE(stripMeter(strip("src"))->hasRms());
    EXPECT_EQ(stripMeter(strip("src"))->levelLeft(), -20);
}

TEST_F(MeterPanelTest, OneBadRecordCostsOnlyItsOwnReadings) {
    m_globals.boolCoreMeterMode = true;
    strip("src")->setFaderLevel(-1.0f);
    const QStringList records = {
        "0002" + kField + "20" + kField + "False" + kField + "0:0:0:0:-3,5",  // comma decimal
        "0001" + kField + "10" + kField + "False",                            // three fields
        "XYZ" + kField + "10" + kField + "False" + kField + "0:0:0:0:-7",     // router not hex
        "0001" + kField + "10" + kField + "True" + kField + "zz:FFF6",        // level not hex
        "0001" + kField + "10" + kField + "yes" + kField + "0:0:0:0:-7",      // names no point
        "0001" + kField + "10" + kField + "False" + kField + "0:0:0:0:-1001", // no gain known
        "0001" + kField + "10" + kField + "TRUE" + kField + "FFF6:FFF5:0:0:-9.25",
    };
    m_coreData.CheckUserFormMeters(records.join(kRecord));
    EXPECT_EQ(strip("other")->FaderLevel(), -3.5f);
    EXPECT_EQ(strip("src")->FaderLevel(), -1.0f);
    EXPECT_FALSE(strip("src")->FaderActive());
    EXPECT_EQ(led()->levelLeft(), -10);
    EXPECT_EQ(strip("dst")->FaderLevel(), -9.25f);
    EXPECT_EQ(stripMeter(strip("dst"))->levelLeft(), -10);
}

TEST_F(MeterPanelTest, ClicksAndMovesSendRequestsWithThePointsAddress) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); // writes 1,5
    MeterFader* src = strip("src");
    MeterFader* dst = strip("dst");
    for (MeterFader* s : {src, dst}) {
        s->setHasOnOff(true);
        s->setHasPGMBus(2, true);
        s->setFaderActive(true);
        s->setFaderLevel(-12.0f);
    }
    src->setChannelOn(true);
    dst->setPGMBusOn(2, true);

    QTest::mouseClick(stripOnOff(src), Qt::LeftButton);
    QTest::mouseClick(stripOnOff(dst), Qt::LeftButton);
    QTest::mouseClick(stripBus(src, 2), Qt::LeftButton);
    QTest::mouseClick(stripBus(dst, 2), Qt::LeftButton);
    stripFader(src)->setFocus();
    QTest::keyClick(stripFader(src), Qt::Key_Down);
    const float moved = src->FaderLevel();
    ASSERT_NE(moved, -12.0f);
    ASSERT_NE(moved, std::round(moved)) << "the step must leave a decimal to write";

    const QString source = "0001000A0000";
    const QString dest = "00010000000A";
    EXPECT_EQ(m_core.frames,
              QStringList({frame(Command::ChannelRequest, source, "ChannelOn=False"),
                           frame(Command::ChannelRequest, dest, "ChannelOn=True"),
                           frame(Command::ChannelRequest, source, "PGM2On=True"),
                           frame(Command::ChannelRequest, dest, "PGM2On=False"),
                           frame(Command::LevelData, source, ShortestSingleText(moved))}));
    EXPECT_FALSE(m_core.frames.last().contains(',')) << "a point, whatever the locale";
    // Clicks change nothing until the Core answers.
    EXPECT_TRUE(src->ChannelOn());
    EXPECT_TRUE(dst->PGMBusOn(2));
}

TEST_F(MeterPanelTest, OperatorActionsReturnBeforeAnyOtherEventIsHandled) {
    // An event handled inside a strip's handler could be a close that deletes the strip under
    // its own slider or button, or a second click that re-enters the first.
    MeterFader* src = strip("src");
    src->setHasOnOff(true);
    src->setHasPGMBus(3, true);
    src->setFaderActive(true);
    src->setFaderLevel(-12.0f);
    GainFader* fader = stripFader(src);
    const auto drag = [fader] {
        const QPoint grip = fader->capRect().center();
        QTest::mousePress(fader, Qt::LeftButton, {}, grip);
        QTest::mouseMove(fader, grip - QPoint(0, 10));
        QTest::mouseRelease(fader, Qt::LeftButton, {}, grip - QPoint(0, 10));
    };
    const std::vector<std::pair<const char*, std::function<void()>>> actions{
        {"on/off click", [src] { QTest::mouseClick(stripOnOff(src), Qt::LeftButton); }},
        {"bus click", [src] { QTest::mouseClick(stripBus(src, 3), Qt::LeftButton); }},
        {"fader step",
         [fader] {
             fader->setFocus();
             QTest::keyClick(fader, Qt::Key_Up);
         }},
        {"fader drag", drag},
    };
    for (const auto& [what, act] : actions) {
        SCOPED_TRACE(what);
        m_core.frames.clear();
        bool acting = true;
        bool ran = false;
        bool ranWhileActing = false;
        QTimer::singleShot(0, fader, [&] {
            ran = true;
            ranWhileActing = acting;
        });
        act();
        acting = false;
        EXPECT_FALSE(m_core.frames.isEmpty());
        ASSERT_TRUE(waitUntil([&] { return ran; }));
        EXPECT_FALSE(ranWhileActing);
    }
}

TEST_F(MeterPanelTest, CoreGainsWaitWhileTheOperatorHasTheFader) {
    MeterFader* src = strip("src");
    src->setFaderActive(true);
    src->setFaderLevel(-20.0f);
    auto gain = [this](const QString& value) {
        m_coreData.CheckUserFormMeters("1" + kField + "10" + kField + "False" + kField +
                                       "0:0:0:0:" + value);
    };

    // Moved and let go: the lock holds the Core's gains off at once, and lets them through
    // once its time has passed since the last move.
    GainFader* fader = stripFader(src);
    const QPoint grip = fader->capRect().center();
    QTest::mousePress(fader, Qt::LeftButton, {}, grip);
    QTest::mouseMove(fader, grip - QPoint(0, 12));
    QTest::mouseRelease(fader, Qt::LeftButton, {}, grip - QPoint(0, 12));
    const float operatorLevel = src->FaderLevel();
    ASSERT_NE(operatorLevel, -20.0f);
    EXPECT_TRUE(src->UserAdjusting());
    gain("-30");
    EXPECT_EQ(src->FaderLevel(), operatorLevel) << "the lock time has not passed";
    ASSERT_TRUE(waitUntil([&] { return !src->UserAdjusting(); }, 2000));
    // Once the lock has cleared, the strip's timer has nothing left to do and stops.
    EXPECT_FALSE(src->UserTimerEnabled());
    gain("-30");
    EXPECT_EQ(src->FaderLevel(), -30.0f);

    // Held: still locked long after the lock time, until the operator lets go.
    QTest::mousePress(fader, Qt::LeftButton, {}, fader->capRect().center());
    pumpEvents(400);
    gain("-35");
    EXPECT_EQ(src->FaderLevel(), -30.0f) << "the fader is in the operator's hand";
    QTest::mouseRelease(fader, Qt::LeftButton, {}, fader->capRect().center());
    gain("-35");
    EXPECT_EQ(src->FaderLevel(), -35.0f);

    // A move by key locks as well.
    fader->setFocus();
    QTest::keyClick(fader, Qt::Key_Up);
    EXPECT_TRUE(src->UserAdjusting());
    gain("-40");
    EXPECT_NE(src->FaderLevel(), -40.0f);
    ASSERT_TRUE(waitUntil([&] { return !src->UserAdjusting(); }, 2000));
    EXPECT_FALSE(src->UserTimerEnabled());
    gain("-40");
    EXPECT_EQ(src->FaderLevel(), -40.0f);
}

TEST_F(MeterPanelTest, GainPollAsksForFadersWithBusOneAndADeviceAddress) {
    strip("src")->setHasPGMBus(1, true);
    strip("other")->setHasPGMBus(1, true);
    m_addresses.UpdateAddressLookup(1, 10, false, " 10.1.1.5 / 7 ");
    m_addresses.UpdateAddressLookup(1, 10, true, "10.1.1.6/8"); // dst: no bus 1
    m_addresses.UpdateAddressLookup(2, 20, false, "no-channel");
    m_actions.timCheckFader_Timer();
    EXPECT_EQ(m_core.frames,
              QStringList({frame(Command::FaderGainQuery, modClientProtocolConsts::strNoAddress,
                                 "tcp://10.1.1.5:4010_GET FaCH#7 Fader_Gain")}));
}

TEST(PanelMeterPoints, OnePerMeterControlInOrder) {
    PanelState panel;
    ASSERT_TRUE(PanelDefinitionReader(panel).AnalyzeXML(kPanel));
    EXPECT_EQ(
        PanelMeterPoints(panel),
        std::vector<MeterPoint>({{1, 10, false}, {1, 10, true}, {1, 10, true}, {2, 20, false}}));
}

} // namespace
