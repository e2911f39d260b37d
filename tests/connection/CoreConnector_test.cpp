#include "connection/CoreConnector.h"
#include "protocol/ClientProtocolConsts.h"

#include "ConnectionTestHelpers.h"
#include "support/LogCapture.h"
#include "support/TestCore.h"
#include "support/Wait.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::test;

namespace {

const QString kUser = QStringLiteral("operator");
const QString kPassword = QStringLiteral("pä ss");

struct Connector {
    CoreConnector connector;
    ConnectorLog log{connector};
    explicit Connector(const CoreConnectorTimings& timings = fastTimings()) : connector(timings) {}
    bool waitConnected(int count = 1, int timeoutMs = 5000) {
        return waitUntil([&] { return log.connected.count(true) >= count; }, timeoutMs);
    }
};

QString frameText(int command, const QString& payload) {
    return modClientProtocolConsts::strFrameStart + QChar(command) +
           modClientProtocolConsts::strNoAddress + payload + modClientProtocolConsts::strFrameEnd;
}

} // namespace

TEST(CoreConnectorHunt, TriesServersInOrderAnnouncingEachAndLogsIn) {
    TestCore first, second, third;
    first.setLoginBehaviour(TestCore::Login::Refuse);
    second.setLoginBehaviour(TestCore::Login::Refuse);
    Connector c;
    // Which Core was reached, interleaved with the announcements.
    QObject::connect(&first, &TestCore::clientConnected, [&] { c.log.events.append("1st"); });
    QObject::connect(&second, &TestCore::clientConnected, [&] { c.log.events.append("2nd"); });
    QObject::connect(&third, &TestCore::clientConnected, [&] { c.log.events.append("3rd"); });
    for (TestCore* core : {&first, &second, &third}) {
        c.connector.AddServerToHunt(core->huntEntry());
    }
    c.connector.StartHunting(kUser, kPassword);

    ASSERT_TRUE(c.waitConnected());
    QStringList order = c.log.events;
    order.removeAll("debug");
    EXPECT_EQ(order, QStringList({"switch", "1st", "switch", "2nd", "switch", "3rd", "up"}));
    EXPECT_EQ(c.log.switched, QStringList(3, "127.0.0.1"));
    EXPECT_EQ(c.log.connected, QList<bool>{true});
    EXPECT_TRUE(c.connector.isConnected());
    EXPECT_GE(c.log.debug.size(), 2); // one per refusal

    ASSERT_EQ(third.frames().size(), 1);
    const TestFrame login = third.frames().first();
    EXPECT_EQ(login.command(), Command::Login);
    EXPECT_EQ(login.addressBlock(), modClientProtocolConsts::strNoAddress);
    EXPECT_EQ(login.fields(), QStringList({"LOGIN", kUser, kPassword}));
    EXPECT_EQ(first.loginUser(), kUser);
    // Refused connections are closed by the client.
    EXPECT_TRUE(waitUntil([&] { return first.openConnections() + second.openConnections() == 0; }));
    EXPECT_EQ(third.openConnections(), 1);
}

TEST(CoreConnectorHunt, ClosedPortSilentHostAndBadEntryDoNotStallIt) {
    SilentListener silentTcp;
    TestCore silentLogin;
    silentLogin.setLoginBehaviour(TestCore::Login::NeverAnswer);
    TestCore good;

    CoreConnectorTimings timings = fastTimings();
    timings.connectTimeoutMs = 300;
    timings.loginTimeoutMs = 300;
    Connector c{timings};
    c.connector.AddServerToHunt(QStringLiteral("127.0.0.1:%1").arg(closedLoopbackPort()));
    if (silentTcp.port() != 0) {
        c.connector.AddServerToHunt(QStringLiteral("127.0.0.1:%1").arg(silentTcp.port()));
    }
    c.connector.AddServerToHunt(silentLogin.huntEntry());
    c.connector.AddServerToHunt(QStringLiteral("not a host:port"));
    c.connector.AddServerToHunt(good.huntEntry());

    QElapsedTimer clock;
    clock.start();
    c.connector.StartHunting(kUser, kPassword);
    ASSERT_TRUE(c.waitConnected(1, 4000));
    // The silent ones cost their timeouts, no more.
    const int expectedWait = timings.loginTimeoutMs + (silentTcp.port() ? 300 : 0);
    EXPECT_GE(clock.elapsed(), expectedWait - 50);
    EXPECT_LT(clock.elapsed(), expectedWait + 2000);
    EXPECT_EQ(silentLogin.loginCount(), 1);
    EXPECT_TRUE(waitUntil([&] { return silentLogin.openConnections() == 0; }));
    EXPECT_EQ(c.log.connected, QList<bool>{true});
}

TEST(CoreConnectorHunt, EndlessLoginReplyIsRefusedWithoutWaitingForTheTimeout) {
    TestCore chatty;
    chatty.setLoginBehaviour(TestCore::Login::NeverAnswer);
    QObject::connect(&chatty, &TestCore::loginReceived, [&] {
        chatty.sendRaw(QByteArray(CoreConnector::kMaxLoginReplyBytes + 4096, 'x'));
    });
    TestCore good;
    CoreConnectorTimings timings = fastTimings();
    timings.loginTimeoutMs = 20000;
    Connector c{timings};
    c.connector.AddServerToHunt(chatty.huntEntry());
    c.connector.AddServerToHunt(good.huntEntry());
    c.connector.StartHunting(kUser, kPassword);
    ASSERT_TRUE(c.waitConnected(1, 4000));
    EXPECT_TRUE(waitUntil([&] { return chatty.openConnections() == 0; }));
}

TEST(CoreConnectorHunt, PausesAfterTheLastEntryThenStartsAgain) {
    TestCore core;
    core.setLoginBehaviour(TestCore::Login::Refuse);
    QElapsedTimer sinceRefusal;
    QObject::connect(&core, &TestCore::loginReceived, [&] {
        sinceRefusal.start();
        core.setLoginBehaviour(TestCore::Login::Accept);
    });
    qint64 secondTryAfter = -1;
    QObject::connect(&core, &TestCore::clientConnected, [&] {
        if (core.connectionCount() == 2) {
            secondTryAfter = sinceRefusal.elapsed();
        }
    });
    Connector c;
    c.connector.AddServerToHunt(core.huntEntry());
    c.connector.StartHunting(kUser, kPassword);

    ASSERT_TRUE(c.waitConnected());
    EXPECT_EQ(c.log.switched.size(), 2);
    EXPECT_EQ(core.connectionCount(), 2);
    EXPECT_GE(secondTryAfter, fastTimings().listPauseMs - 20);
}

TEST(CoreConnectorHunt, LostConnectionIsReportedAndTheHuntResumesUntilStopped) {
    TestCore core;
    Connector c;
    c.connector.AddServerToHunt(core.huntEntry());
    c.connector.StartHunting(kUser, kPassword);
    ASSERT_TRUE(c.waitConnected());

    core.dropConnection();
    ASSERT_TRUE(c.waitConnected(2));
    EXPECT_EQ(c.log.connected, QList<bool>({true, false, true}));
    EXPECT_EQ(c.log.switched.size(), 2);
    EXPECT_EQ(core.loginCount(), 2);

    // Stopped: the connection stays, but after its loss nothing is tried again.
    c.connector.StopHunting();
    EXPECT_TRUE(c.connector.isConnected());
    core.dropConnection();
    ASSERT_TRUE(waitUntil([&] { return c.log.connected.size() == 4; }));
    pumpEvents(fastTimings().reconnectDelayMs * 4);
    EXPECT_EQ(c.log.connected, QList<bool>({true, false, true, false}));
    EXPECT_EQ(core.connectionCount(), 2);
}

TEST(CoreConnectorHunt, CoreThatAcceptsAndHangsUpAtOnceIsReportedLost) {
    TestCore core;
    core.setBytesAfterLoginReply("bye");
    QObject::connect(&core, &TestCore::loginReceived, [&] {
        if (core.loginCount() == 1) {
            core.dropConnection();
        }
    });
    Connector c;
    c.connector.AddServerToHunt(core.huntEntry());
    c.connector.StartHunting(kUser, kPassword);
    ASSERT_TRUE(c.waitConnected(2));
    EXPECT_EQ(c.log.connected, QList<bool>({true, false, true}));
    EXPECT_EQ(c.log.allText(), QStringLiteral("byebye")); // one per login
}

TEST(CoreConnectorText, Utf8CharactersSplitAcrossReadsArriveWhole) {
    const QString text = QStringLiteral("A€ä😀Z");
    const QByteArray bytes = text.toUtf8(); // A | E2 82 AC | C3 A4 | F0 9F 98 80 | Z
    TestCore core;
    // Text behind the login reply, ending inside the euro sign.
    core.setBytesAfterLoginReply(bytes.left(2));
    Connector c;
    c.connector.AddServerToHunt(core.huntEntry());
    c.connector.StartHunting(kUser, kPassword);
    ASSERT_TRUE(c.waitConnected());
    ASSERT_TRUE(waitUntil([&] { return c.log.allText() == "A"; }));

    core.sendRaw(bytes.mid(2, 5)); // rest of the euro, the a-umlaut, half of the emoji
    ASSERT_TRUE(waitUntil([&] { return c.log.allText() == QStringLiteral("A€ä"); }));
    core.sendRaw(bytes.mid(7));
    ASSERT_TRUE(waitUntil([&] { return c.log.allText() == text; }));
    EXPECT_FALSE(c.log.allText().contains(QChar::ReplacementCharacter));
    EXPECT_EQ(c.log.events.indexOf("up"), c.log.events.indexOf("message") - 1);
}

TEST(CoreConnectorText, SendsUtf8WhenConnectedAndDropsWhileNot) {
    TestCore core;
    Connector c;
    c.connector.SendCvpMessageToCore(frameText(Command::KeepAlive, "early"));
    EXPECT_EQ(c.log.debug.size(), 1);

    c.connector.AddServerToHunt(core.huntEntry());
    c.connector.StartHunting(kUser, kPassword);
    ASSERT_TRUE(c.waitConnected());
    const QString payload = QStringLiteral("Grüße € 😀");
    c.connector.SendCvpMessageToCore(frameText(Command::ControlCommand, payload));
    ASSERT_TRUE(waitUntil([&] { return core.frames().size() == 2; }));
    EXPECT_EQ(core.frames().at(0).command(), Command::Login);
    EXPECT_EQ(core.frames().at(1).command(), Command::ControlCommand);
    EXPECT_EQ(core.frames().at(1).payload(), payload);
}

TEST(CoreConnectorAddress, BareHostUsesTheCorePort) {
    TestCore core;
    Connector c;
    EXPECT_EQ(c.connector.corePort(), CoreConnector::kDefaultCorePort);
    c.connector.setCorePort(core.port());
    c.connector.AddServerToHunt(QStringLiteral("127.0.0.1"));
    c.connector.StartHunting(kUser, kPassword);
    ASSERT_TRUE(c.waitConnected());
    EXPECT_EQ(core.loginCount(), 1);
}

TEST(CoreConnectorAddress, BracketedIpv6LoopbackWithPort) {
    TestCore core{QHostAddress(QHostAddress::LocalHostIPv6)};
    if (!core.isListening()) {
        GTEST_SKIP() << "no IPv6 loopback here";
    }
    Connector c;
    c.connector.AddServerToHunt(QStringLiteral("[::1]:%1").arg(core.port()));
    c.connector.StartHunting(kUser, kPassword);
    ASSERT_TRUE(c.waitConnected());
    EXPECT_EQ(c.log.switched, QStringList{"::1"});
}

TEST(CoreConnectorControl, StopHuntingEndsAttempts) {
    Connector c;
    c.connector.AddServerToHunt(QStringLiteral("127.0.0.1:%1").arg(closedLoopbackPort()));
    c.connector.StartHunting(kUser, kPassword);
    ASSERT_TRUE(waitUntil([&] { return c.log.switched.size() >= 2; }));
    c.connector.StopHunting();
    const auto tries = c.log.switched.size();
    pumpEvents(fastTimings().listPauseMs * 3);
    EXPECT_EQ(c.log.switched.size(), tries);
    EXPECT_FALSE(c.connector.isHunting());
}

TEST(CoreConnectorControl, DisconnectReportsOnceAndShutDownIsSilentButDelivers) {
    TestCore core;
    Connector c;
    c.connector.AddServerToHunt(core.huntEntry());
    c.connector.StartHunting(kUser, kPassword);
    ASSERT_TRUE(c.waitConnected());

    // A disconnect drops the connection, not the hunt: the Core is found again.
    c.connector.Disconnect();
    EXPECT_EQ(c.log.connected, QList<bool>({true, false}));
    ASSERT_TRUE(c.waitConnected(2));

    // What is sent just before shutting down still reaches the Core.
    const auto eventsBefore = c.log.events.size();
    c.connector.SendCvpMessageToCore(frameText(Command::MeterAddOns, "last words"));
    c.connector.ShutDown();
    ASSERT_TRUE(waitUntil([&] { return core.openConnections() == 0; }));
    EXPECT_EQ(core.framesWithCommand(Command::MeterAddOns).size(), 1);
    c.connector.StartHunting(kUser, kPassword);
    c.connector.SendCvpMessageToCore(frameText(Command::KeepAlive, ""));
    pumpEvents(fastTimings().reconnectDelayMs * 3);
    EXPECT_EQ(c.log.events.size(), eventsBefore);
    EXPECT_EQ(core.connectionCount(), 2);
}

TEST(CoreConnectorControl, StartConnectMakesOneAttemptOutsideTheHunt) {
    TestCore hunted, direct;
    direct.setLoginBehaviour(TestCore::Login::Refuse);
    Connector c;
    c.connector.AddServerToHunt(hunted.huntEntry());
    c.connector.StartConnect(direct.huntEntry(), kUser, kPassword);
    ASSERT_TRUE(waitUntil([&] { return direct.loginCount() == 1; }));
    pumpEvents(fastTimings().listPauseMs * 3);
    EXPECT_EQ(direct.connectionCount(), 1);
    EXPECT_EQ(hunted.connectionCount(), 0);

    direct.setLoginBehaviour(TestCore::Login::Accept);
    c.connector.StartConnect(direct.huntEntry(), kUser, kPassword);
    ASSERT_TRUE(c.waitConnected());
    EXPECT_EQ(direct.loginCount(), 2);
}

TEST(CoreConnectorLogin, CredentialsThatWouldCutTheLoginFrameAreNeverSent) {
    const QString etx(QChar(3));
    struct Row {
        QString user;
        QString password;
        bool sent;
    };
    const QList<Row> rows = {
        {"op", "a" + etx + etx + "b", false},
        {"o" + etx + etx + "p", "pw", false},
        {"op", "pw" + etx, false}, // joins the frame end into three
        {"op" + etx, "pw", true},  // the field separator follows: nothing is cut
        {"op", etx + "pw" + etx + "x", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(QString(row.user + "/" + row.password).replace(etx, "<3>").toStdString());
        TestCore core;
        Connector c;
        LogCapture log;
        c.connector.AddServerToHunt(core.huntEntry());
        c.connector.StartHunting(row.user, row.password);
        if (row.sent) {
            ASSERT_TRUE(c.waitConnected());
            EXPECT_EQ(core.frames().first().fields(),
                      QStringList({"LOGIN", row.user, row.password}));
            continue;
        }
        c.connector.StartConnect(core.huntEntry(), row.user, row.password);
        pumpEvents(300);
        EXPECT_EQ(core.connectionCount(), 0);
        EXPECT_FALSE(c.connector.isHunting());
        ASSERT_EQ(c.log.debug.size(), 2);
        EXPECT_TRUE(c.log.debug.first().startsWith("Login not sent: the "));
        EXPECT_EQ(log.linesContaining("corvane.connection", "warning: Login not sent").size(), 2);
    }
}
