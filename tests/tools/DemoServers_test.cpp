// The demo servers on real sockets: test clients on loopback, and the built programs.

#include "CoreChannelLink.h"
#include "DemoCoreServer.h"
#include "DemoMeterServer.h"
#include "protocol/ClientProtocolConsts.h"
#include "protocol/FrameBuilder.h"
#include "protocol/QtPrinters.h"
#include "support/TestFrame.h"
#include "support/TestFrameCutter.h"
#include "support/Wait.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <utility>

using namespace corvane;
using namespace corvane::demo;
using corvane::test::TestFrame;
using corvane::test::waitUntil;

namespace {

const QString US(QChar(31));
const QString& kNoAddress = modClientProtocolConsts::strNoAddress;

const char* const kPanel = "<panel><name>Studio</name><controllist>"
                           "<c><type>button</type><name>Mic1</name><state>off</state></c>"
                           "</controllist></panel>";

// A client of the demo Core: sends frames and keeps every frame it receives.
class CoreClient {
public:
    explicit CoreClient(quint16 port) { m_socket.connectToHost(QHostAddress::LocalHost, port); }

    void send(int command, const QString& address, const QString& payload) {
        m_socket.write(BuildFrame(command, address, payload).toUtf8());
    }
    void login(const QString& user = "operator", const QString& password = "demo") {
        send(Command::Login, kNoAddress, "LOGIN" + US + user + US + password);
    }
    // Waits for a frame of this command whose payload contains the text.
    bool waitFor(int command, const QString& text) {
        return waitUntil([&] {
            read();
            for (const TestFrame& frame : m_frames) {
                if (frame.command() == command && frame.payload().contains(text)) {
                    return true;
                }
            }
            return false;
        });
    }
    bool isClosed() const { return m_socket.state() == QAbstractSocket::UnconnectedState; }

private:
    void read() { m_frames += m_cutter.feed(m_socket.readAll()); }

    QTcpSocket m_socket;
    test::TestFrameCutter m_cutter;
    QList<TestFrame> m_frames;
};

class PanelFolder {
public:
    PanelFolder() {
        QFile file(m_dir.filePath("studio.xml"));
        file.open(QIODevice::WriteOnly);
        file.write(kPanel);
    }
    QDir dir() const { return QDir(m_dir.path()); }

private:
    QTemporaryDir m_dir;
};

TEST(DemoCoreServer, TwoClientsShareOneStudioAndARefusedLoginIsClosed) {
    PanelFolder panels;
    DemoCoreServer core(panels.dir(), {"operator", "demo"});
    QStringList trace;
    core.setTrace([&](const QString& line) { trace << line; });
    ASSERT_TRUE(core.listen(QHostAddress::LocalHost, 0));

    CoreClient intruder(core.serverPort());
    intruder.login("operator", "guess");
    EXPECT_TRUE(intruder.waitFor(Command::Login, "No"));
    EXPECT_TRUE(waitUntil([&] { return intruder.isClosed(); }));

    CoreClient first(core.serverPort());
    CoreClient second(core.serverPort());
    for (CoreClient* client : {&first, &second}) {
        client->login();
        client->send(Command::PanelDefinition, kNoAddress, "studio");
        ASSERT_TRUE(client->waitFor(Command::PanelDefinition, "<name>Studio</name>"));
    }
    first.send(Command::PropertyChange, kNoAddress, "TStudio.Mic1");
    EXPECT_TRUE(second.waitFor(Command::PropertyChange, "Studio.Mic1.state=on"));
    EXPECT_TRUE(first.waitFor(Command::PropertyChange, "Studio.Mic1.state=on"));

    const QString strip = PointAddressBlock(2, 11, true);
    second.send(Command::MeterSubscription, strip, "");
    first.send(Command::LevelData, strip, "-20.5");
    EXPECT_TRUE(second.waitFor(Command::LevelData, ":-20.5"));

    // The trace shows each frame in and out, one line each.
    EXPECT_TRUE(trace.contains(QRegularExpression("^#\\d+ <- 35 000000000000 TStudio\\.Mic1$")));
    EXPECT_TRUE(
        trace.contains(QRegularExpression("^#\\d+ -> 35 000000000000 Studio\\.Mic1\\.state=on$")));
    EXPECT_TRUE(
        trace.contains(QRegularExpression("^#\\d+ <- 40 000000000000 LOGIN<US>operator.*")));
}

TEST(DemoMeterServer, SendsLevelLinesForSubscribedPointsOnlyAndSilenceWhenTheCoreSwitchesOff) {
    PanelFolder panels;
    DemoCoreServer core(panels.dir(), {"operator", "demo"});
    ASSERT_TRUE(core.listen(QHostAddress::LocalHost, 0));
    DemoMeterServer meters;
    ASSERT_TRUE(meters.listen(QHostAddress::LocalHost, 0));
    meters.followCore("127.0.0.1:" + QString::number(core.serverPort()), "operator", "demo");

    QTcpSocket listener;
    listener.connectToHost(QHostAddress::LocalHost, meters.serverPort());
    listener.write("SetMeterPoll 20\r\nsm SRC 2 11 rtr2-in.studio.lan/11\r\n");
    QByteArray received;
    const auto lineFor = [&](const QByteArray& start) {
        return waitUntil([&] {
            received += listener.readAll();
            const qsizetype at = received.lastIndexOf(start);
            return at >= 0 && received.indexOf("\r\n", at) > at;
        });
    };
    ASSERT_TRUE(lineFor("MTR SRC 2 11 rtr2-in.studio.lan/11 PEEK:"));
    ASSERT_TRUE(waitUntil([&] { return meters.coreLink()->isConnected(); }));

    // An operator switches the channel off at the Core; the meter server hears of it.
    CoreClient operatorClient(core.serverPort());
    operatorClient.login();
    operatorClient.send(Command::ChannelRequest, PointAddressBlock(2, 11, true), "ChannelOn=False");
    received.clear();
    ASSERT_TRUE(lineFor("MTR SRC 2 11 rtr2-in.studio.lan/11 PEEK:-96:-96 RMS:-96:-96\r\n"));

    listener.write("um SRC 2 11 x\r\n");
    ASSERT_TRUE(waitUntil([&] { return meters.pool().size() == 0; }));
    test::pumpEvents(100);
    received = listener.readAll();
    test::pumpEvents(100);
    EXPECT_TRUE(listener.readAll().isEmpty()) << "no lines after the last point is dropped";
}

// Runs a built demo server and reads the address it reports on its first line.
class RunningServer {
public:
    RunningServer(const QString& program, const QStringList& arguments) {
        m_process.start(program, arguments);
    }
    ~RunningServer() {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }
    // The port of the "listening on" line; the lines before it stay for output().
    quint16 port() {
        const QRegularExpression listening("listening on [^ ]*:(\\d+)");
        while (m_process.canReadLine() || m_process.waitForReadyRead(10000)) {
            while (m_process.canReadLine()) {
                const QByteArray line = m_process.readLine();
                const auto match = listening.match(QString::fromUtf8(line));
                if (match.hasMatch()) {
                    return quint16(match.captured(1).toUInt());
                }
                m_before += line;
            }
        }
        return 0;
    }
    // What the server printed besides its "listening on" line, so far.
    QByteArray output() { return std::exchange(m_before, {}) + m_process.readAllStandardOutput(); }
    QByteArray errorOutput() { return m_process.readAllStandardError(); }
    QProcess& process() { return m_process; }

private:
    QProcess m_process;
    QByteArray m_before;
};

// The programs as a chaos run drives them: two Cores sharing one studio through a file, told
// what to do by signals, and a meter server that remembers its points across a restart.
TEST(DemoPrograms, ShareTheStudioAnswerSignalsAndRememberPointsAcrossRestarts) {
    PanelFolder panels;
    QTemporaryDir dir;
    const QStringList coreOptions{"--listen",   "127.0.0.1:0",
                                  "--panels",   panels.dir().path(),
                                  "--share",    dir.filePath("studio"),
                                  "--readback", "--timestamps",
                                  "--burst",    "10",
                                  "--pace",     "100000"};
    RunningServer primary(CORVANE_DEMO_CORE_EXE, coreOptions);
    const quint16 primaryPort = primary.port();
    ASSERT_NE(primaryPort, 0);
    CoreClient client(primaryPort);
    client.login();
    client.send(Command::PanelDefinition, kNoAddress, "studio");
    ASSERT_TRUE(client.waitFor(Command::PanelDefinition, "<onload>readback\tMic1.caption="));
    client.send(Command::PropertyChange, kNoAddress, "TStudio.Mic1");
    ASSERT_TRUE(client.waitFor(Command::PropertyChange, "Studio.Mic1.state=on"));

    // The backup takes the studio over, and passes its own changes to the primary's clients.
    RunningServer backup(CORVANE_DEMO_CORE_EXE, coreOptions);
    const quint16 backupPort = backup.port();
    ASSERT_NE(backupPort, 0);
    CoreClient other(backupPort);
    other.login();
    other.send(Command::PanelDefinition, kNoAddress, "studio");
    ASSERT_TRUE(other.waitFor(Command::PropertyChange, "Studio.Mic1.state=on"));
    other.send(Command::ControlCommand, kNoAddress, "Studio.x" + US + "set Studio.Mic1.caption=B");
    EXPECT_TRUE(client.waitFor(Command::PropertyChange, "Studio.Mic1.caption=B"));

    QByteArray log;
    const auto logShows = [&](RunningServer& server, const QRegularExpression& line) {
        return waitUntil([&] {
            log += server.output();
            return line.match(QString::fromUtf8(log)).hasMatch();
        });
    };
    ::kill(pid_t(primary.process().processId()), SIGUSR2);
    EXPECT_TRUE(logShows(primary, QRegularExpression("\\n\\d{13} a burst of 10 changes\\n")));
    ::kill(pid_t(primary.process().processId()), SIGHUP);
    ::kill(pid_t(primary.process().processId()), SIGUSR1);
    EXPECT_TRUE(logShows(primary, QRegularExpression("\\d{13} check: the studio keeps still\\n")));
    EXPECT_TRUE(client.waitFor(Command::PanelDefinition, "<onload>readback"));
    log.clear();

    const QStringList meterOptions{"--listen", "127.0.0.1:0", "--remember", dir.filePath("points"),
                                   "--timestamps"};
    {
        RunningServer meters(CORVANE_DEMO_METERS_EXE, meterOptions);
        QTcpSocket listener;
        listener.connectToHost(QHostAddress::LocalHost, meters.port());
        listener.write("sm DST 1 1 pgm\r\nsm SRC 2 3 mic\r\n");
        EXPECT_TRUE(logShows(meters, QRegularExpression("listens to 2 points")));
        meters.process().kill();
    }
    log.clear();
    RunningServer meters(CORVANE_DEMO_METERS_EXE, meterOptions);
    QTcpSocket listener;
    listener.connectToHost(QHostAddress::LocalHost, meters.port());
    listener.write("sm SRC 2 3 mic\r\nsm DST 1 1 pgm\r\n");
    EXPECT_TRUE(logShows(meters, QRegularExpression("\\d{13} all 2 points listened to before this "
                                                    "start are subscribed again, after \\d+ ms")))
        << log.constData();
    EXPECT_TRUE(log.contains("2 points were listened to before this start"));
}

TEST(DemoPrograms, TakeTheirOptionsAndTraceEveryFrame) {
    PanelFolder panels;
    RunningServer core(CORVANE_DEMO_CORE_EXE,
                       {"--listen", "127.0.0.1:0", "--panels", panels.dir().path(), "--user",
                        "studio", "--password", "secret", "--trace", "--churn", "200", "--stats",
                        "1"});
    const quint16 corePort = core.port();
    ASSERT_NE(corePort, 0);
    CoreClient client(corePort);
    client.login("studio", "secret");
    client.send(Command::PanelDefinition, kNoAddress, "STUDIO");
    ASSERT_TRUE(client.waitFor(Command::PanelDefinition, "Studio"));
    client.send(Command::ControlCommand, kNoAddress, "Studio.Mic1" + US + "message Hi");
    ASSERT_TRUE(client.waitFor(Command::OperatorMessage, "Hi"));
    QByteArray trace;
    ASSERT_TRUE(waitUntil([&] {
        trace += core.errorOutput();
        return trace.contains("-> 13 000000000000 Hi\n");
    })) << trace.constData();
    EXPECT_TRUE(trace.contains("<- 44 000000000000 Studio.Mic1<US>message Hi\n"));
    // The studio keeps changing on its own, and says how much it has sent.
    EXPECT_TRUE(client.waitFor(Command::PropertyChange, "Studio.Mic1.state=on"));
    EXPECT_TRUE(client.waitFor(Command::PropertyChange, "Studio.Studio.caption=Studio ("));
    QByteArray stats;
    ASSERT_TRUE(waitUntil([&] {
        stats += core.process().readAllStandardOutput();
        return stats.contains("stats: frames received ");
    }));
    for (const QStringList& bad : {QStringList{"--churn", "-1"},
                                   {"--churn", "lots"},
                                   {"--stats", "x"},
                                   {"--burst", "-1"},
                                   {"--pace", "fast"}}) {
        RunningServer refusedOption(CORVANE_DEMO_CORE_EXE,
                                    QStringList{"--listen", "127.0.0.1:0"} + bad);
        EXPECT_TRUE(refusedOption.process().waitForFinished(10000));
        EXPECT_EQ(refusedOption.process().exitCode(), 2);
    }

    RunningServer refused(CORVANE_DEMO_CORE_EXE, {"--listen", "nowhere:1"});
    EXPECT_TRUE(refused.process().waitForFinished(10000));
    EXPECT_EQ(refused.process().exitCode(), 2);

    RunningServer meters(CORVANE_DEMO_METERS_EXE, {"--listen", "127.0.0.1:0"});
    const quint16 meterPort = meters.port();
    ASSERT_NE(meterPort, 0);
    QTcpSocket listener;
    listener.connectToHost(QHostAddress::LocalHost, meterPort);
    listener.write("SetMeterPoll 20\r\nsm DST 1 1 pgm\r\n");
    QByteArray lines;
    EXPECT_TRUE(waitUntil([&] {
        lines += listener.readAll();
        return lines.contains("MTR DST 1 1 pgm PEEK:");
    }));
}

} // namespace
