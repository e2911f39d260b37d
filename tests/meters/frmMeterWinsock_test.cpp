#include "components/LedMeter.h"
#include "components/MeterFader.h"
#include "meters/MeterRoutes.h"
#include "meters/frmMeterWinsock.h"
#include "panel/ControlArrays.h"
#include "panel/FormBuilder.h"
#include "panel/PanelDefinitionReader.h"
#include "panel/PanelState.h"
#include "protocol/ClientProtocolConsts.h"
#include "protocol/FrameBuilder.h"
#include "runtime/PanelMeterPoints.h"
#include "support/AddressLookup.h"
#include "support/LogCapture.h"
#include "support/RecordingSender.h"
#include "support/MeterKey.h"
#include "support/StripParts.h"
#include "support/TestMeterServer.h"
#include "support/UnansweredPort.h"
#include "support/Wait.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

using namespace corvane;
using namespace corvane::test;

namespace {

// Two meters on one destination point, a channel strip on a source point, a meter whose
// address the Core has not reported yet, and meters on points the meter server is never asked
// for: a negative router, and a router beyond 16 bits.
const QString kPanel = QStringLiteral(R"(<panel><controllist>
  <c><type>meter</type><name>PgmL</name><meterrouternumber>1</meterrouternumber>
     <meterionumber>1</meterionumber></c>
  <c><type>meter</type><name>PgmCopy</name><meterrouternumber>1</meterrouternumber>
     <meterionumber>1</meterionumber></c>
  <c><type>meterfader</type><name>Mic</name><meterrouternumber>2</meterrouternumber>
     <meterionumber>11</meterionumber><meterissource>true</meterissource></c>
  <c><type>meter</type><name>NoAddr</name><meterrouternumber>3</meterrouternumber>
     <meterionumber>5</meterionumber><meterissource>true</meterissource></c>
  <c><type>meter</type><name>Negative</name><meterrouternumber>-1</meterrouternumber>
     <meterionumber>5</meterionumber></c>
  <c><type>meter</type><name>Wide</name><meterrouternumber>40000</meterrouternumber>
     <meterionumber>5</meterionumber></c>
</controllist></panel>)");

// A built panel, a meter client on it and a meter server, as the main window wires them.
class MeterClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_window.resize(400, 400);
        m_arrays.createTemplates(&m_window);
        ASSERT_TRUE(PanelDefinitionReader(m_panel).AnalyzeXML(kPanel));
        FormBuilder(m_panel, m_arrays, &m_window, {}).BuildForm();
        m_addresses.UpdateAddressLookup(1, 1, true, "dev1/1");
        m_addresses.UpdateAddressLookup(2, 11, false, "dev2/11");
        makeMeters({});
        ASSERT_TRUE(m_server.isListening());
    }

    // An address from the Core, as the main window takes it: stored, then the subscription
    // that waited for it goes out.
    void reportAddress(qint32 router, qint32 io, bool isDest, const QString& address) {
        if (m_addresses.UpdateAddressLookup(router, io, isDest, address)) {
            m_meters->CheckMeterSubscription(MeterKey(router, io, isDest));
        }
    }

    // A meter client with these timings, on a clock the test can move.
    void makeMeters(const RuntimeTimings& timings) {
        m_meters = std::make_unique<frmMeterWinsock>(
            m_core, m_routes, [this] { return PanelMeterPoints(m_panel); }, m_addresses, timings,
            [this] { return frmMeterWinsock::monotonicMs() + m_clockSkewMs; });
    }
    static RuntimeTimings timings(int checkMs, qint64 quietLimitMs = 6000,
                                  int closeWaitLimitMs = 8000) {
        RuntimeTimings timings;
        timings.meterCheckMs = checkMs;
        timings.meterQuietLimitMs = quietLimitMs;
        timings.meterCloseWaitLimitMs = closeWaitLimitMs;
        return timings;
    }
    QTimer& checker() const {
        return *m_meters->findChild<QTimer*>(QStringLiteral("timConnectionChecker"));
    }
    QTcpSocket& socket() const {
        return *m_meters->findChild<QTcpSocket*>(QStringLiteral("MeterWinsock"));
    }

    void startAndWaitForSubscriptions() {
        m_meters->MeteringStart("127.0.0.1", m_server.port());
        ASSERT_TRUE(waitUntil([&] { return m_server.linesStartingWith("sm ").size() == 2; }));
    }

    template <typename Widget> Widget* control(const QString& name) {
        return qobject_cast<Widget*>(m_panel.collControls.find(name)->get()->pntrControl);
    }

    static QString addressRequest(const QString& addressBlock) {
        return BuildFrame(Command::IoAddress, addressBlock);
    }

    QWidget m_window;
    ControlArrays m_arrays;
    PanelState m_panel;
    MeterRoutes m_routes{m_panel};
    RecordingSender m_core;
    AddressLookup m_addresses;
    qint64 m_clockSkewMs = 0; // added to the meter client's clock
    std::unique_ptr<frmMeterWinsock> m_meters;
    TestMeterServer m_server;
};

TEST_F(MeterClientTest, SubscribesEveryPointOnConnectAndAsksForUnknownAddresses) {
    startAndWaitForSubscriptions();
    EXPECT_EQ(m_server.lines(),
              QList<QByteArray>({"SetMeterPoll 120", "sm DST 1 1 dev1/1", "sm SRC 2 11 dev2/11"}));
    EXPECT_TRUE(m_meters->IsRunning());
    EXPECT_EQ(m_meters->strMeterHost(), "127.0.0.1");
    EXPECT_EQ(m_core.frames, QStringList({addressRequest("000300050000")}));
    OpenMeterList& open = m_meters->collOpenMeters();
    ASSERT_EQ(open.size(), 3);
    ASSERT_NE(open.find("3_5_false"), nullptr);
    EXPECT_TRUE(open.find("3_5_False")->strSubscribeCommand.isEmpty());

    // A Core that knows no address answers with an empty one: nothing is stored and nothing
    // is asked again at once; only the regular check asks again.
    m_core.frames.clear();
    for (int reply = 0; reply < 3; ++reply) {
        reportAddress(3, 5, false, "");
        m_meters->CheckConnection(3, 5); // as the dispatcher follows every reply
    }
    pumpEvents(50);
    EXPECT_TRUE(m_core.frames.isEmpty()) << m_core.frames.size() << " requests";
    EXPECT_EQ(m_addresses.GetAddress(3, 5, false), QString());
    m_clockSkewMs += 1000 * 1000; // every point has been quiet for long
    m_meters->CheckConnection(0, 0);
    EXPECT_EQ(m_core.frames, QStringList({addressRequest("000300050000")}));

    // The Core's reply stores the address, and the waiting subscription goes out once and is
    // kept; the same router and I/O as a destination is another point and is left alone.
    reportAddress(3, 5, true, "dev3/5d");
    m_meters->SubscribeToMeter({3, 5, true});
    ASSERT_TRUE(waitUntil([&] { return m_server.linesStartingWith("sm DST 3 5").size() == 1; }));
    m_server.clearLines();
    reportAddress(3, 5, false, "dev3/5");
    m_meters->CheckConnection(3, 5);
    ASSERT_TRUE(waitUntil([&] { return m_server.lines().size() == 1; }));
    pumpEvents(50);
    EXPECT_EQ(m_server.lines(), QList<QByteArray>({"sm SRC 3 5 dev3/5"}));
    EXPECT_EQ(open.find("3_5_False")->strSubscribeCommand, "sm SRC 3 5 dev3/5\r\n");
    m_meters->UnsubscribeFromMeter({3, 5, true});
    ASSERT_TRUE(waitUntil([&] { return m_server.lines().size() == 2; }));
    m_server.clearLines();

    // Subscribing an open point again sends its line again and leaves its entry alone.
    const qint64 heard = open.find("3_5_False")->lngLastHeardFrom;
    pumpEvents(20);
    m_meters->SubscribeToMeter({3, 5, false});
    EXPECT_EQ(open.find("3_5_False")->lngLastHeardFrom, heard);
    m_meters->UnsubscribeFromMeter({3, 5, false});
    ASSERT_TRUE(waitUntil([&] { return m_server.lines().size() == 2; }));
    EXPECT_EQ(m_server.lines(), QList<QByteArray>({"sm SRC 3 5 dev3/5", "um SRC 3 5 dev3/5"}));
    EXPECT_EQ(open.find("3_5_False"), nullptr);
    EXPECT_EQ(open.size(), 2);

    // Disconnected, neither records nor forgets anything.
    m_meters->MeteringStop(false);
    m_meters->SubscribeToMeter({4, 4, false});
    m_meters->UnsubscribeFromMeter({1, 1, true});
    EXPECT_EQ(open.size(), 2);
    EXPECT_EQ(open.find("4_4_False"), nullptr);
    EXPECT_NE(open.find("1_1_True"), nullptr);
}

TEST_F(MeterClientTest, LevelLinesReachTheirControlsEachLineOnItsOwn) {
    startAndWaitForSubscriptions();
    auto* left = control<LedMeter>("pgml");
    auto* copy = control<LedMeter>("pgmcopy");
    auto* strip = control<MeterFader>("mic");
    const qint64 updatesBefore = m_meters->receiver().controlUpdates();

    // One arrival: a reading for both meters, a line whose router does not fit 16 bits, a
    // reading for the strip, a point nobody shows, then the first half of a line.
    m_server.sendRaw("MTR DST 1 1 x PEEK:-12:-14\r\n"
                     "MTR DST 70000 1 x PEEK:-1:-1\r\n"
                     "MTR SRC 2 11 x PEEK:-20:-18 RMS:-30:-29\r\n"
                     "MTR SRC 9 9 x PEEK:-1:-1\r\n"
                     "MTR DST 1 1 x PE");
    ASSERT_TRUE(waitUntil([&] { return stripMeter(strip)->levelLeft() == -20; }));
    EXPECT_EQ(left->levelLeft(), -12);
    EXPECT_EQ(left->levelRight(), -14);
    EXPECT_EQ(copy->levelRight(), -14);
    EXPECT_EQ(stripMeter(strip)->levelRight(), -18);
    EXPECT_TRUE(stripMeter(strip)->hasRms());
    EXPECT_EQ(m_meters->receiver().controlUpdates() - updatesBefore, 3);

    // The rest of the split line completes it.
    m_server.sendRaw("EK:-6:-7\r\n");
    ASSERT_TRUE(waitUntil([&] { return left->levelLeft() == -6; }));
    EXPECT_EQ(copy->levelRight(), -7);

    // Lines whose levels cannot be read move nothing they cannot read: no peaks means the
    // meters keep theirs (not full scale), an unread RMS leaves the strip's RMS as it was.
    const qint64 heardBefore = m_meters->collOpenMeters().find("1_1_True")->lngLastHeardFrom;
    pumpEvents(20);
    m_server.sendRaw("MTR DST 1 1 x RMS:1:2\r\nMTR DST 1 1 x PEEK:x:0\r\n"
                     "MTR SRC 2 11 x PEEK:-8:-9 RMS:x:y\r\n");
    ASSERT_TRUE(waitUntil([&] { return stripMeter(strip)->levelLeft() == -8; }));
    EXPECT_EQ(left->levelLeft(), -6);
    EXPECT_EQ(copy->levelRight(), -7);
    EXPECT_GT(m_meters->collOpenMeters().find("1_1_True")->lngLastHeardFrom, heardBefore);
    EXPECT_TRUE(stripMeter(strip)->hasRms());
    EXPECT_EQ(stripMeter(strip)->shownRmsLeft(), -30);
}

TEST_F(MeterClientTest, QuietPointsAreSubscribedAgainLivePointsAreNot) {
    makeMeters(timings(100, 300));
    startAndWaitForSubscriptions();
    reportAddress(3, 5, false, "dev3/5");
    QTimer live;
    QObject::connect(&live, &QTimer::timeout,
                     [&] { m_server.sendLine(TestMeterServer::levelLine(true, 1, 1, -10, -10)); });
    live.start(40);

    m_server.clearLines();
    ASSERT_TRUE(waitUntil([&] { return m_server.linesStartingWith("sm SRC 2 11").size() >= 3; }));
    EXPECT_GE(m_server.linesStartingWith("sm SRC 3 5").size(), 2);
    EXPECT_TRUE(m_server.linesStartingWith("sm DST 1 1").isEmpty());
    live.stop();

    // Asked about one router, only its quiet points. Asked about one point (an address
    // reply), nothing: the point's own subscription went out with its address.
    checker().stop();
    m_server.clearLines();
    m_clockSkewMs -= 1000 * 1000; // no point has been quiet
    m_meters->CheckConnection(3, 0);
    m_clockSkewMs += 2 * 1000 * 1000; // every point has been quiet for long
    m_meters->CheckConnection(2, 0);
    m_meters->CheckConnection(1, 1);
    ASSERT_TRUE(waitUntil([&] { return m_server.lines().size() == 1; }));
    pumpEvents(50);
    EXPECT_EQ(m_server.lines(), QList<QByteArray>({"sm SRC 2 11 dev2/11"}));
}

TEST_F(MeterClientTest, ADroppedServerIsReconnectedAtTheNextCheck) {
    LogCapture log;
    makeMeters(timings(100));
    startAndWaitForSubscriptions();
    auto* strip = control<MeterFader>("mic");

    // Half a line, then the connection drops, which is told at once. The next connection
    // starts afresh: its first text is not joined to the lost half, which would make a
    // reading nobody sent.
    QSignalSpy lost(m_meters.get(), &frmMeterWinsock::levelsLost);
    m_server.sendRaw("MTR SRC 2 11 x PEEK:-1:-1 RMS:-1:-1");
    ASSERT_TRUE(waitUntil([&] { return !m_meters->receiver().buffer().buffered().isEmpty(); }));
    m_server.dropConnections();
    ASSERT_TRUE(waitUntil([&] { return lost.size() == 1; }));
    ASSERT_TRUE(waitUntil([&] { return m_server.linesStartingWith("SetMeterPoll").size() == 2; }));
    ASSERT_TRUE(waitUntil([&] { return m_server.linesStartingWith("sm ").size() == 4; }));
    EXPECT_EQ(m_server.connectionCount(), 2);
    EXPECT_EQ(lost.size(), 1);
    m_server.sendRaw("1\r\nMTR SRC 2 11 x PEEK:-3:-4\r\n");
    ASSERT_TRUE(waitUntil([&] { return stripMeter(strip)->levelLeft() == -3; }));
    EXPECT_FALSE(stripMeter(strip)->hasRms()) << "the lost half line was read";
    // The meter log tells a maintainer each connection and what went each way.
    const QString server = QStringLiteral("127.0.0.1:%1").arg(m_server.port());
    EXPECT_EQ(log.linesContaining("corvane.meters", "connected to meter server " + server).size(),
              2);
    EXPECT_EQ(log.linesContaining("corvane.meters", "to meter server sm ").size(), 4);
    EXPECT_FALSE(log.linesContaining("corvane.meters", "from meter server").isEmpty());

    // Stopped, it stays down and forgets any unfinished line.
    m_server.sendRaw("MTR SRC 2 11 x PE");
    ASSERT_TRUE(waitUntil([&] { return !m_meters->receiver().buffer().buffered().isEmpty(); }));
    m_meters->MeteringStop(false);
    EXPECT_FALSE(m_meters->IsRunning());
    EXPECT_EQ(lost.size(), 2);
    EXPECT_TRUE(m_meters->receiver().buffer().buffered().isEmpty());
    EXPECT_FALSE(checker().isActive());
    pumpEvents(350);
    EXPECT_EQ(m_server.connectionCount(), 2);
    EXPECT_EQ(m_server.openConnections(), 0);
}

TEST_F(MeterClientTest, AServerThatStaysAwayIsLoggedOnceNotAtEveryRetry) {
    LogCapture log;
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    makeMeters(timings(50));
    m_meters->MeteringStart("127.0.0.1", closedPort);
    ASSERT_TRUE(waitUntil([&] {
        return log.linesContaining("corvane.meters", "connecting to meter server").size() >= 4;
    }));
    EXPECT_EQ(log.linesContaining("corvane.meters", "refused").size(), 1);

    // Once a connection has worked, the next outage is told again.
    m_meters->MeteringStart("127.0.0.1", m_server.port());
    ASSERT_TRUE(waitUntil([&] { return m_server.connectionCount() == 1; }));
    m_meters->MeteringStart("127.0.0.1", closedPort);
    ASSERT_TRUE(
        waitUntil([&] { return log.linesContaining("corvane.meters", "refused").size() == 2; }));
}

// Bytes that a stalled server never reads keep the connection from closing.
void stuffConnection(QTcpSocket& socket) {
    socket.write(QByteArray(32 * 1024 * 1024, 'x'));
}

TEST_F(MeterClientTest, ACloseThatDoesNotFinishSwitchesMeteringOff) {
    makeMeters(timings(10000, 6000, 300));
    startAndWaitForSubscriptions();
    QSignalSpy lost(m_meters.get(), &frmMeterWinsock::levelsLost);
    m_server.setStalled(true);
    stuffConnection(socket());
    m_meters->MeteringStop(true); // returns at once; the close goes on meanwhile
    EXPECT_TRUE(m_meters->IsRunning());
    EXPECT_EQ(socket().state(), QAbstractSocket::ClosingState);
    ASSERT_TRUE(waitUntil([&] { return !m_meters->IsRunning(); }));
    EXPECT_EQ(socket().state(), QAbstractSocket::UnconnectedState);
    EXPECT_GE(lost.size(), 1);
}

TEST_F(MeterClientTest, StartsAndStopsAskedForWhileAConnectionClosesAreDoneWhenItHasClosed) {
    makeMeters(timings(10000, 6000, 5000));
    startAndWaitForSubscriptions();
    TestMeterServer second;
    TestMeterServer third;

    // While the old connection closes, the Core points metering elsewhere: the call returns
    // at once, and the new connection is made once the old one has closed.
    m_server.setStalled(true);
    stuffConnection(socket());
    m_meters->MeteringStart("127.0.0.1", second.port());
    pumpEvents(50);
    EXPECT_EQ(second.connectionCount(), 0) << "connected before the old connection closed";
    m_server.close(); // the stuck connection ends
    ASSERT_TRUE(waitUntil([&] { return second.linesStartingWith("sm ").size() == 2; }));
    EXPECT_TRUE(m_meters->IsRunning());
    EXPECT_EQ(second.connectionCount(), 1);
    EXPECT_EQ(m_meters->intMeterPort(), second.port());

    // While a start waits for the old connection to close, metering is stopped: the stop wins.
    second.setStalled(true);
    stuffConnection(socket());
    m_meters->MeteringStart("127.0.0.1", third.port());
    m_meters->MeteringStop(false);
    second.close();
    pumpEvents(200);
    EXPECT_FALSE(m_meters->IsRunning());
    EXPECT_EQ(third.connectionCount(), 0);
    EXPECT_EQ(socket().state(), QAbstractSocket::UnconnectedState);
}

TEST_F(MeterClientTest, AConnectionThatIsNeverAnsweredIsAbandonedAtOnce) {
    UnansweredPort unanswered;
    ASSERT_NE(unanswered.port(), 0);
    m_meters->MeteringStart("127.0.0.1", unanswered.port());
    pumpEvents(100);
    ASSERT_EQ(socket().state(), QAbstractSocket::ConnectingState);

    // Started again elsewhere, it does not wait for the attempt that hangs.
    QElapsedTimer clock;
    clock.start();
    m_meters->MeteringStart("127.0.0.1", m_server.port());
    EXPECT_LT(clock.elapsed(), 50);
    ASSERT_TRUE(waitUntil([&] { return m_server.linesStartingWith("sm ").size() == 2; }));

    // Nor does a stop.
    m_meters->MeteringStart("127.0.0.1", unanswered.port());
    m_meters->MeteringStop(false);
    EXPECT_EQ(socket().state(), QAbstractSocket::UnconnectedState);
}

} // namespace
