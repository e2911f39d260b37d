#include "protocol/ClientProtocolConsts.h"
#include "support/TestCore.h"
#include "support/Wait.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::test;

namespace {

// Runs the built program in a folder of its own, as an operator's machine would.
class RunningClient {
public:
    explicit RunningClient(const QByteArray& configText) {
        QFile config(m_dir.filePath("CVMiniConfig.txt"));
        if (config.open(QIODevice::WriteOnly)) {
            config.write(configText);
        }
        config.close();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        m_process.setProcessEnvironment(environment);
        m_process.setWorkingDirectory(m_dir.path());
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(CORVANE_MINI_EXE, QStringList());
    }
    ~RunningClient() {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }
    QProcess& process() { return m_process; }
    QString dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
};

} // namespace

TEST(StartUp, LogsInToTheConfiguredCoreAndAsksForItsPanel) {
    TestCore core;
    ASSERT_TRUE(core.isListening());
    const QByteArray config =
        "primaryserverip=127.0.0.1\r\nprimaryserverport=" + QByteArray::number(core.port()) +
        "\r\npanelname=Studio A\r\nusername=operator\r\n"
        "userpassword=on air\r\n";
    RunningClient client(config);
    ASSERT_TRUE(client.process().waitForStarted(10000));

    ASSERT_TRUE(waitUntil(
        [&] { return !core.framesWithCommand(Command::PanelDefinition).isEmpty(); }, 20000))
        << "no panel request reached the Core";
    EXPECT_EQ(core.loginUser(), "operator");
    EXPECT_EQ(core.loginPassword(), "on air");
    const TestFrame request = core.framesWithCommand(Command::PanelDefinition).first();
    EXPECT_EQ(request.addressBlock(), modClientProtocolConsts::strNoAddress);
    EXPECT_EQ(request.payload(), "Studio A");
    // The login came first, then the request.
    ASSERT_GE(core.frames().size(), 2);
    EXPECT_EQ(core.frames().first().command(), Command::Login);
}

TEST(StartUp, HuntsOnToTheBackupCoreOnItsOwnPortWhenThePrimaryRefuses) {
    TestCore primary;
    TestCore backup;
    primary.setLoginBehaviour(TestCore::Login::Refuse);
    const QByteArray backupPort = QByteArray::number(backup.port());
    // The backup as a site configures it, on its own port; and with its port written into the
    // host as well, as some sites did to reach it at all.
    for (const QByteArray& backupHost : {QByteArray("127.0.0.1"), "127.0.0.1:" + backupPort}) {
        SCOPED_TRACE(backupHost.toStdString());
        backup.clearFrames();
        const QByteArray config =
            "primaryserverip=127.0.0.1\r\nprimaryserverport=" + QByteArray::number(primary.port()) +
            "\r\nbackupserverip=" + backupHost + "\r\nbackupserverport=" + backupPort +
            "\r\npanelname=P1\r\n";
        RunningClient client(config);
        ASSERT_TRUE(waitUntil(
            [&] { return !backup.framesWithCommand(Command::PanelDefinition).isEmpty(); }, 20000));
        EXPECT_GE(primary.loginCount(), 1);
        EXPECT_TRUE(primary.framesWithCommand(Command::PanelDefinition).isEmpty());
    }
}

TEST(StartUp, BuildsTheDeliveredPanelAndSubscribesItsMeters) {
    TestCore core;
    const QByteArray config =
        "primaryserverip=127.0.0.1\r\nprimaryserverport=" + QByteArray::number(core.port()) +
        "\r\npanelname=Desk\r\n";
    RunningClient client(config);
    ASSERT_TRUE(waitUntil(
        [&] { return !core.framesWithCommand(Command::PanelDefinition).isEmpty(); }, 20000));

    const QString definition =
        "<panel><name>Desk</name><onload>  Lights.On </onload><controllist>"
        "<c><type>meter</type><name>M1</name><meterrouternumber>3</meterrouternumber>"
        "<meterionumber>10</meterionumber><meterissource>false</meterissource></c>"
        "<c><type>meterfader</type><name>F1</name><meterrouternumber>1</meterrouternumber>"
        "<meterionumber>12</meterionumber><meterissource>true</meterissource></c>"
        "<c><type>button</type><name>Go</name></c>"
        "</controllist></panel>";
    core.sendFrame(Command::PanelDefinition, modClientProtocolConsts::strNoAddress,
                   "Desk title" + modClientProtocolConsts::strFieldSeparator + definition);

    ASSERT_TRUE(waitUntil(
        [&] { return core.framesWithCommand(Command::MeterSubscription).size() == 2; }, 10000));
    const auto subscriptions = core.framesWithCommand(Command::MeterSubscription);
    EXPECT_EQ(subscriptions[0].addressBlock(), "00030000000A"); // a destination point
    EXPECT_EQ(subscriptions[1].addressBlock(), "0001000C0000"); // a source point
    ASSERT_TRUE(waitUntil(
        [&] { return !core.framesWithCommand(Command::ControlCommand).isEmpty(); }, 10000));
    const TestFrame load = core.framesWithCommand(Command::ControlCommand).first();
    EXPECT_EQ(load.fields(), QStringList({"Desk.MainForm", "Lights.On"}));
    EXPECT_EQ(client.process().state(), QProcess::Running);
}
