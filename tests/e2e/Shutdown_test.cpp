#include "protocol/ClientProtocolConsts.h"
#include "support/TestCore.h"
#include "support/TestMeterServer.h"
#include "support/Wait.h"

#ifdef CORVANE_TEST_XCB
#include "X11Display.h"
#endif

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>

using namespace corvane;
using namespace corvane::test;

namespace {

enum class Ending { Term, Interrupt, WindowClosed };

// The built program in a folder of its own, with a saved window position, connected to a
// test Core and a test meter server, showing a panel with meters.
class ShutdownEndToEnd : public ::testing::TestWithParam<Ending> {
protected:
    void SetUp() override {
        // The Core knows every point's I/O address; the meter server needs it in each line.
        QObject::connect(&m_core, &TestCore::frameReceived, &m_core, [this](const TestFrame& f) {
            if (f.command() == Command::IoAddress) {
                m_core.sendFrame(Command::IoAddress, f.addressBlock(), "dev/" + f.addressBlock());
            }
        });
    }
    void TearDown() override {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    void writeFile(const QString& name, const QByteArray& content) {
        QFile file(m_dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray readFile(const QString& name) {
        QFile file(m_dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }

    void start(const QProcessEnvironment& environment) {
        writeFile("CVMiniConfig.txt", "primaryserverip=127.0.0.1\r\nprimaryserverport=" +
                                          QByteArray::number(m_core.port()) +
                                          "\r\npanelname=Desk\r\nmeterserverport=" +
                                          QByteArray::number(m_meters.port()) + "\r\n");
        writeFile("MiniPosition.inf", "Left=1500\r\nTop=3000\r\n");
        m_process.setProcessEnvironment(environment);
        m_process.setWorkingDirectory(m_dir.path());
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(CORVANE_MINI_EXE, QStringList());
        ASSERT_TRUE(m_process.waitForStarted(10000));
    }

    // Two meters on one destination point, a channel strip on a source point.
    void deliverPanelWithMeters() {
        ASSERT_TRUE(waitUntil(
            [&] { return !m_core.framesWithCommand(Command::PanelDefinition).isEmpty(); }, 20000));
        const QString definition =
            "<panel><name>Desk</name><controllist>"
            "<c><type>meter</type><name>M1</name><meterrouternumber>3</meterrouternumber>"
            "<meterionumber>10</meterionumber><meterissource>false</meterissource></c>"
            "<c><type>meter</type><name>M2</name><meterrouternumber>3</meterrouternumber>"
            "<meterionumber>10</meterionumber><meterissource>false</meterissource></c>"
            "<c><type>meterfader</type><name>F1</name><meterrouternumber>1</meterrouternumber>"
            "<meterionumber>12</meterionumber><meterissource>true</meterissource></c>"
            "</controllist></panel>";
        m_core.sendFrame(Command::PanelDefinition, modClientProtocolConsts::strNoAddress,
                         "Desk title" + modClientProtocolConsts::strFieldSeparator + definition);
        ASSERT_TRUE(waitUntil(
            [&] { return m_core.framesWithCommand(Command::MeterSubscription).size() == 3; },
            10000));
        // One subscription per point, sent once the Core has told the address.
        ASSERT_TRUE(waitUntil(
            [&] {
                const auto lines = m_meters.linesStartingWith("sm ");
                return lines.contains("sm " + kDestPoint) && lines.contains("sm " + kSourcePoint);
            },
            10000));
        m_core.clearFrames();
        m_meters.clearLines();
    }

    void expectOrderlyEnd() {
        ASSERT_TRUE(waitUntil([&] { return m_process.state() == QProcess::NotRunning; }, 15000));
        EXPECT_EQ(m_process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(m_process.exitCode(), 0);
        QStringList blocks;
        for (const TestFrame& frame : m_core.framesWithCommand(Command::MeterAddOns)) {
            EXPECT_TRUE(frame.payload().isEmpty());
            blocks << frame.addressBlock();
        }
        EXPECT_EQ(blocks, QStringList({"00030000000A", "00030000000A", "0001000C0000"}));
        // At the meter server, each meter control unsubscribes its point: the point the two
        // meters share hears it twice, which does no harm to a point already dropped.
        EXPECT_TRUE(waitUntil([&] { return m_meters.openConnections() == 0; }));
        EXPECT_EQ(
            m_meters.linesStartingWith("um "),
            QList<QByteArray>({"um " + kDestPoint, "um " + kDestPoint, "um " + kSourcePoint}));
        EXPECT_EQ(readFile("MiniPosition.inf"), QByteArray("Left=1500\r\nTop=3000\r\n\r\n"));
        EXPECT_EQ(m_core.openConnections(), 0);
    }

    // The two points as the meter server's lines name them, after "sm " or "um ".
    const QByteArray kDestPoint = "DST 3 10 dev/00030000000A";
    const QByteArray kSourcePoint = "SRC 1 12 dev/0001000C0000";

    TestCore m_core;
    TestMeterServer m_meters;
    QTemporaryDir m_dir;
    QProcess m_process;
};

} // namespace

TEST_P(ShutdownEndToEnd, UnsubscribesSavesThePositionAndExitsWithStatusZero) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
#ifdef CORVANE_TEST_XCB
    std::unique_ptr<X11Display> display;
#endif
    if (GetParam() == Ending::WindowClosed) {
#ifdef CORVANE_TEST_XCB
        display = std::make_unique<X11Display>();
        ASSERT_FALSE(display->name().isEmpty()) << "Xvfb did not start";
        environment.insert("DISPLAY", display->name());
        environment.insert("QT_QPA_PLATFORM", "xcb");
#else
        GTEST_SKIP() << "built without the X client library";
#endif
    } else {
        environment.insert("QT_QPA_PLATFORM", "offscreen");
    }
    start(environment);
    deliverPanelWithMeters();

    switch (GetParam()) {
    case Ending::Term:
        ::kill(static_cast<pid_t>(m_process.processId()), SIGTERM);
        break;
    case Ending::Interrupt:
        ::kill(static_cast<pid_t>(m_process.processId()), SIGINT);
        break;
    case Ending::WindowClosed:
#ifdef CORVANE_TEST_XCB
        ASSERT_TRUE(waitUntil([&] { return display->requestClose("Desk"); }, 10000));
#endif
        break;
    }
    expectOrderlyEnd();
}

INSTANTIATE_TEST_SUITE_P(Endings, ShutdownEndToEnd,
                         ::testing::Values(Ending::Term, Ending::Interrupt, Ending::WindowClosed),
                         [](const ::testing::TestParamInfo<Ending>& info) {
                             switch (info.param) {
                             case Ending::Term:
                                 return "Sigterm";
                             case Ending::Interrupt:
                                 return "Sigint";
                             case Ending::WindowClosed:
                                 return "WindowClosed";
                             }
                             return "Unknown";
                         });
