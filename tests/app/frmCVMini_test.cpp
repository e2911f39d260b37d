#include "app/frmCVMini.h"
#include "components/GainFader.h"
#include "components/LedMeter.h"
#include "components/MeterFader.h"
#include "connection/clsCVCoreConnection.h"
#include "connection/frmConnecting.h"
#include "meters/frmMeterWinsock.h"
#include "protocol/ClientProtocolConsts.h"
#include "support/AppGlobals.h"
#include "support/NumberRules.h"
#include "support/StripParts.h"
#include "support/TestCore.h"
#include "support/TestMeterServer.h"
#include "support/UserPrompt.h"
#include "support/Wait.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::test;

namespace {

// Runs each test in a folder of its own holding the files the window reads by bare name, and
// answers message boxes instead of showing them.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previousDir = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
        appGlobals() = AppGlobals{};
        UserPrompt::setHandler([this](QWidget*, const QString& title, const QString& text) {
            m_messages << title + "|" + text;
        });
    }
    void TearDown() override {
        UserPrompt::setHandler({});
        QDir::setCurrent(m_previousDir);
    }
    void writeFile(const QString& name, const QByteArray& content) {
        QFile file(m_dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray configFor(const TestCore& core, const QByteArray& extra = {}) {
        return "primaryserverip=127.0.0.1\r\nprimaryserverport=" + QByteArray::number(core.port()) +
               "\r\npanelname=Main\r\nusername=op\r\n" + extra;
    }

    QTemporaryDir m_dir;
    QString m_previousDir;
    QStringList m_messages;
};

// Spelled out: constants of another file may not be set up yet when these are.
const QString kNoAddress = QStringLiteral("000000000000");
const QString kField = QString(QChar(31));

// Two LED meters on one destination point and a channel strip on a source point.
QString meterPanel(int router) {
    const QString r = QString::number(router);
    return "Main" + kField +
           "<panel><name>Main</name><controllist>"
           "<c><type>meter</type><name>PgmL</name><meterrouternumber>" +
           r +
           "</meterrouternumber><meterionumber>1</meterionumber></c>"
           "<c><type>meter</type><name>PgmR</name><meterrouternumber>" +
           r +
           "</meterrouternumber><meterionumber>1</meterionumber><left>600</left></c>"
           "<c><type>meterfader</type><name>Mic</name><meterrouternumber>" +
           r +
           "</meterrouternumber><meterionumber>2</meterionumber><meterissource>true"
           "</meterissource><left>1500</left><width>1500</width><height>4500</height></c>"
           "</controllist></panel>";
}

QString hex4(int number) {
    return QStringLiteral("%1").arg(number, 4, 16, QLatin1Char('0')).toUpper();
}

// A window connected to a test Core and a test meter server, with the meter panel delivered.
class MeteringTest : public MainWindowTest {
protected:
    void bringUp() {
        // Points of their own: an address the Core reported stays known for the whole run.
        static int routers = 40;
        m_router = ++routers;
        writeFile(
            "CVMiniConfig.txt",
            configFor(m_core, "meterserverport=" + QByteArray::number(m_meters.port()) + "\r\n"));
        ASSERT_TRUE(m_window.Form_Load({}));
        ASSERT_TRUE(waitUntil(
            [&] { return !m_core.framesWithCommand(Command::PanelDefinition).isEmpty(); }));
        m_window.MeterWinsock()->timConnectionChecker().setInterval(150);
        m_core.sendFrame(Command::PanelDefinition, kNoAddress, meterPanel(m_router));
    }

    // The Core answers the client's address requests.
    void answerAddressRequests() {
        const QString dest = hex4(m_router) + "0000" + "0001";
        const QString source = hex4(m_router) + "0002" + "0000";
        ASSERT_TRUE(
            waitUntil([&] { return m_core.framesWithCommand(Command::IoAddress).size() >= 2; }));
        m_core.sendFrame(Command::IoAddress, dest, "dev/1");
        m_core.sendFrame(Command::IoAddress, source, "dev/2");
    }

    QByteArray subscribeLine(bool isDest, int io) const {
        return QByteArray(isDest ? "sm DST " : "sm SRC ") + QByteArray::number(m_router) + ' ' +
               QByteArray::number(io) + " dev/" + QByteArray::number(io);
    }

    template <typename Widget> Widget* control(const QString& name) {
        return qobject_cast<Widget*>(m_window.panel().collControls.find(name)->get()->pntrControl);
    }

    TestCore m_core;
    TestMeterServer m_meters;
    frmCVMini m_window;
    int m_router = 0;
};

} // namespace

TEST_F(MainWindowTest, AnEmptyConfigurationTellsTheOperatorAndEnds) {
    writeFile("CVMiniConfig.txt", "");
    frmCVMini window;
    EXPECT_FALSE(window.Form_Load({}));
    EXPECT_EQ(m_messages, QStringList({"Corvane Mini|There is no config file. Corvane Mini will "
                                       "now shut down."}));
    EXPECT_EQ(frmConnecting::find(), nullptr);
    window.close();
    EXPECT_FALSE(QFile::exists(m_dir.filePath("MiniPosition.inf"))); // nothing is saved
}

TEST_F(MainWindowTest, StartsFromTheSavedPositionAndShowsTheConnectingWindow) {
    TestCore core;
    core.setLoginBehaviour(TestCore::Login::NeverAnswer);
    writeFile("CVMiniConfig.txt", configFor(core, "alwaysontop=true\r\n"));
    writeFile("MiniPosition.inf", "Left=1500\r\nTop=3000\r\n\r\n");
    frmCVMini window;
    ASSERT_TRUE(window.Form_Load({"-M"}));
    EXPECT_TRUE(appGlobals().boolCoreMeterMode);
    EXPECT_EQ(window.pos(), QPoint(100, 200)); // 15 twips a pixel at 96 dpi
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(window.windowTitle(), "Corvane Mini");
    EXPECT_TRUE(window.strGraphicsPath().endsWith("/PanelGraphics/"));
    frmConnecting* connecting = frmConnecting::find();
    ASSERT_NE(connecting, nullptr);
    EXPECT_TRUE(connecting->isVisible());

    window.move(30, 45);
    window.close();
    QFile saved(m_dir.filePath("MiniPosition.inf"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("Left=450\r\nTop=675\r\n\r\n"));
    EXPECT_EQ(frmConnecting::find(), nullptr);
}

TEST_F(MainWindowTest, RequestsThePanelAndHandlesWhatTheCoreSends) {
    TestCore core;
    writeFile("CVMiniConfig.txt", configFor(core));
    frmCVMini window;
    ASSERT_TRUE(window.Form_Load({}));
    ASSERT_TRUE(
        waitUntil([&] { return !core.framesWithCommand(Command::PanelDefinition).isEmpty(); }));
    EXPECT_EQ(core.framesWithCommand(Command::PanelDefinition).first().payload(), "Main");
    EXPECT_EQ(window.MasterSocket()->GetConnectionState(), 7);

    // An operator message arrives in two frames and waits for the message timer.
    core.sendFrame(Command::OperatorMessage, modClientProtocolConsts::strNoAddress, "Mic ");
    core.sendFrame(Command::OperatorMessage, modClientProtocolConsts::strNoAddress, "live");
    ASSERT_TRUE(waitUntil([&] { return window.strPendingMessages() == "Mic live"; }));

    // The panel definition ends the "Connecting" window and points metering at this Core.
    ASSERT_NE(frmConnecting::find(), nullptr);
    core.sendFrame(Command::PanelDefinition, modClientProtocolConsts::strNoAddress, "");
    ASSERT_TRUE(waitUntil([&] { return frmConnecting::find() == nullptr; }));
    EXPECT_EQ(appGlobals().strMeterServerHost, window.MasterSocket()->MasterRemoteHost());
    EXPECT_FALSE(appGlobals().strMeterServerHost.isEmpty());

    // Losing the Core brings the "Connecting" window back while it hunts again.
    core.dropConnection();
    ASSERT_TRUE(waitUntil([&] { return window.MasterSocket()->GetConnectionState() == 0; }));
    ASSERT_TRUE(waitUntil(
        [&] { return core.framesWithCommand(Command::PanelDefinition).size() == 2; }, 10000));
    EXPECT_NE(frmConnecting::find(), nullptr);
    window.close();
}

TEST_F(MainWindowTest, TheConnectingWindowKeepsTheFocusWhileItIsShown) {
    TestCore core;
    core.setLoginBehaviour(TestCore::Login::NeverAnswer);
    writeFile("CVMiniConfig.txt", configFor(core));
    frmCVMini window;
    ASSERT_TRUE(window.Form_Load({}));
    frmConnecting* connecting = frmConnecting::find();
    ASSERT_NE(connecting, nullptr);
    pumpEvents(200); // let the windows' own activations settle first

    // The operator clicks the main window: the focus goes back to the "Connecting" window.
    window.activateWindow();
    pumpEvents(200);
    EXPECT_EQ(QApplication::activeWindow(), connecting);

    window.HideConnecting();
    window.activateWindow();
    EXPECT_TRUE(waitUntil([&] { return QApplication::activeWindow() == &window; }));
    window.close();
}

TEST_F(MeteringTest, APanelStartsMeteringWithItsSubscriptionsAndLevels) {
    bringUp();
    // Metering goes to the Core's host, on the configured meter port.
    ASSERT_TRUE(waitUntil([&] { return m_meters.linesStartingWith("SetMeterPoll").size() == 1; }));
    EXPECT_EQ(m_meters.lines().first(), "SetMeterPoll 120");
    EXPECT_EQ(m_window.MeterWinsock()->strMeterHost(), m_window.MasterSocket()->MasterRemoteHost());
    EXPECT_EQ(m_window.MeterWinsock()->intMeterPort(), m_meters.port());
    // The Core hears of every meter (command 19), and is asked once per point for the
    // addresses the meter server needs (command 46).
    answerAddressRequests();
    EXPECT_EQ(m_core.framesWithCommand(Command::MeterSubscription).size(), 3);
    const auto requests = m_core.framesWithCommand(Command::IoAddress);
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[0].addressBlock(), hex4(m_router) + "00000001");
    EXPECT_EQ(requests[1].addressBlock(), hex4(m_router) + "00020000");
    // Each reply sends its subscription (once for the stored address, once for the check of
    // that point that follows it).
    ASSERT_TRUE(waitUntil([&] { return m_meters.linesStartingWith("sm ").size() == 4; }));
    EXPECT_EQ(m_meters.linesStartingWith("sm ").count(subscribeLine(true, 1)), 2);
    EXPECT_EQ(m_meters.linesStartingWith("sm ").count(subscribeLine(false, 2)), 2);

    // Level lines move the meters and the strip's meter; a gain from the Core moves its fader.
    m_meters.sendLine(TestMeterServer::levelLine(true, m_router, 1, -12, -14));
    m_meters.sendLine(TestMeterServer::levelLine(false, m_router, 2, -20, -18, -30, -29));
    m_core.sendFrame(Command::LevelData, kNoAddress,
                     hex4(m_router) + kField + "2" + kField + "False" + kField + "0:0:0:0:-6.5");
    auto* strip = control<MeterFader>("mic");
    ASSERT_TRUE(waitUntil([&] { return stripMeter(strip)->levelLeft() == -20; }));
    EXPECT_EQ(control<LedMeter>("pgml")->levelLeft(), -12);
    EXPECT_EQ(control<LedMeter>("pgmr")->levelRight(), -14);
    ASSERT_TRUE(waitUntil([&] { return strip->FaderLevel() == -6.5f; }));
    EXPECT_TRUE(strip->FaderActive());

    // Points that fall quiet are subscribed again at the next check.
    m_window.MeterWinsock()->subscriptions().setQuietLimitMs(200);
    m_meters.clearLines();
    ASSERT_TRUE(waitUntil([&] {
        return m_meters.lines().count(subscribeLine(true, 1)) >= 1 &&
               m_meters.lines().count(subscribeLine(false, 2)) >= 1;
    }));
    m_window.MeterWinsock()->subscriptions().setQuietLimitMs(60 * 1000);

    // A meter server that drops the connection is reconnected at the next check, with one
    // subscription per point.
    m_meters.clearLines();
    m_meters.dropConnections();
    ASSERT_TRUE(waitUntil([&] { return m_meters.lines().size() == 3; }));
    EXPECT_EQ(m_meters.connectionCount(), 2);
    pumpEvents(50);
    EXPECT_EQ(m_meters.lines(), QList<QByteArray>({"SetMeterPoll 120", subscribeLine(true, 1),
                                                   subscribeLine(false, 2)}));

    // A status reply that is not an acknowledgement stops metering until the next panel.
    m_core.sendFrame(Command::StatusReply, kNoAddress, "yes");
    m_core.sendFrame(Command::StatusReply, kNoAddress, "core-b|||9501");
    ASSERT_TRUE(waitUntil([&] { return m_meters.openConnections() == 0; }));
    EXPECT_FALSE(m_window.MeterWinsock()->IsRunning());
    pumpEvents(400);
    EXPECT_EQ(m_meters.connectionCount(), 2);
    m_window.close();
}

TEST_F(MeteringTest, ChannelStripsSpeakToTheCoreBothWays) {
    bringUp();
    answerAddressRequests();
    const QString point = hex4(m_router) + "00020000";
    m_core.sendFrame(Command::MeterSubscription, point, "hasonoff=true,pgm1=true,pgm2=true");
    m_core.sendFrame(Command::MeterAddOns, point, "TFT");
    m_core.sendFrame(Command::LevelData, kNoAddress,
                     hex4(m_router) + kField + "2" + kField + "False" + kField + "0:0:0:0:-10");
    auto* strip = control<MeterFader>("mic");
    ASSERT_TRUE(waitUntil([&] { return strip->FaderActive() && strip->PGMBusOn(2); }));
    ASSERT_TRUE(stripOnOff(strip)->isVisible());
    m_core.clearFrames();

    // Clicks and a fader move by the operator, with the exact requests they send.
    QTest::mouseClick(stripOnOff(strip), Qt::LeftButton);
    QTest::mouseClick(stripBus(strip, 1), Qt::LeftButton);
    QTest::mouseClick(stripBus(strip, 2), Qt::LeftButton);
    stripFader(strip)->setFocus();
    QTest::keyClick(stripFader(strip), Qt::Key_Down);
    const float moved = strip->FaderLevel();
    ASSERT_TRUE(waitUntil([&] { return m_core.frames().size() == 4; }));
    QStringList sent;
    for (const TestFrame& frame : m_core.frames()) {
        sent << QString::number(frame.command()) + " " + frame.addressBlock() + " " +
                    frame.payload();
    }
    EXPECT_EQ(sent, QStringList({"39 " + point + " ChannelOn=False", "39 " + point + " PGM1On=True",
                                 "39 " + point + " PGM2On=False",
                                 "22 " + point + " " + ShortestSingleText(moved)}));
    EXPECT_TRUE(strip->ChannelOn()) << "the light waits for the Core";

    // Within the lock after that move, the Core's gains leave the fader where the operator put it.
    m_core.sendFrame(Command::LevelData, kNoAddress,
                     hex4(m_router) + kField + "2" + kField + "False" + kField + "0:0:0:0:-30");
    m_core.sendFrame(Command::MeterAddOns, point, "F");
    ASSERT_TRUE(waitUntil([&] { return !strip->ChannelOn(); }));
    EXPECT_EQ(strip->FaderLevel(), moved);

    // The gain poll asks for faders with bus 1 at their device.
    m_window.timCheckFader().setInterval(50);
    ASSERT_TRUE(
        waitUntil([&] { return !m_core.framesWithCommand(Command::FaderGainQuery).isEmpty(); }));
    EXPECT_EQ(m_core.framesWithCommand(Command::FaderGainQuery).first().payload(),
              "tcp://dev:4010_GET FaCH#2 Fader_Gain");
    m_window.close();
}

TEST_F(MeteringTest, EachDeliveryOfThePanelKeepsOneUpdatePerControlAndLine) {
    bringUp();
    answerAddressRequests();
    for (int delivery = 2; delivery <= 5; ++delivery) {
        m_core.sendFrame(Command::PanelDefinition, kNoAddress, meterPanel(m_router));
    }
    // Every delivery starts metering afresh.
    ASSERT_TRUE(waitUntil([&] { return m_meters.linesStartingWith("SetMeterPoll").size() == 5; }));
    EXPECT_EQ(*m_window.panel().collMeterPointers.find(QString::number(m_router) + "_1_True"),
              "PgmL||PgmR");

    const qint64 before = m_window.MeterWinsock()->receiver().controlUpdates();
    m_meters.sendLine(TestMeterServer::levelLine(true, m_router, 1, -3, -3));
    ASSERT_TRUE(waitUntil([&] { return control<LedMeter>("pgml")->levelLeft() == -3; }));
    m_meters.sendLine(TestMeterServer::levelLine(false, m_router, 2, -4, -4));
    ASSERT_TRUE(
        waitUntil([&] { return stripMeter(control<MeterFader>("mic"))->levelLeft() == -4; }));
    EXPECT_EQ(m_window.MeterWinsock()->receiver().controlUpdates() - before, 3);
    m_window.close();
}
