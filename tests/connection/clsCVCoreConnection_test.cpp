#include "connection/clsCVCoreConnection.h"
#include "connection/frmConnecting.h"
#include "protocol/ClientProtocolConsts.h"
#include "support/Twips.h"

#include "ConnectionTestHelpers.h"
#include "protocol/FrameBuilder.h"
#include "support/LogCapture.h"
#include "support/TestCore.h"
#include "support/Wait.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace corvane;
using namespace corvane::test;

namespace {

struct Wrapper {
    QWidget mainWindow;
    std::unique_ptr<clsCVCoreConnection> connection =
        std::make_unique<clsCVCoreConnection>(fastTimings());
    QSignalSpy closed{connection.get(), &clsCVCoreConnection::Closed};
    QSignalSpy connected{connection.get(), &clsCVCoreConnection::Connected};
    QStringList received;

    Wrapper() {
        connection->setCredentials(QStringLiteral("desk 3"), QStringLiteral("s3cret"));
        connection->setMainWindow(&mainWindow);
        mainWindow.move(300, 200);
        mainWindow.show();
        QObject::connect(connection.get(), &clsCVCoreConnection::ReceivedData,
                         [this](const QString& text) { received.append(text); });
    }
    ~Wrapper() {
        if (connection) {
            connection->HideConnecting();
        }
    }
};

} // namespace

TEST(clsCVCoreConnection, HuntsWithTheConfiguredUserAndReportsTheConnection) {
    TestCore refusing, core;
    refusing.setLoginBehaviour(TestCore::Login::Refuse);
    Wrapper w;
    EXPECT_EQ(w.connection->GetConnectionState(), 0);

    w.connection->StartHunting({refusing.huntEntry(), core.huntEntry()});
    ASSERT_TRUE(waitUntil([&] { return w.connected.size() == 1; }));
    EXPECT_EQ(w.connection->GetConnectionState(), 7);
    EXPECT_EQ(w.connection->MasterRemoteHost(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(core.loginUser(), QStringLiteral("desk 3"));
    EXPECT_EQ(core.loginPassword(), QStringLiteral("s3cret"));
    EXPECT_EQ(refusing.loginCount(), 1);

    // The connection does not hide the window: the panel definition does.
    frmConnecting* form = w.connection->connectingWindow();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->strToAddress(), QStringLiteral("127.0.0.1"));
    EXPECT_TRUE(form->timConnecting()->isActive());
    EXPECT_EQ(form->pos(), w.mainWindow.pos() + QPoint(twipsToPixels(100), twipsToPixels(400)));

    core.sendFrame(Command::OperatorMessage, modClientProtocolConsts::strNoAddress, "hello");
    w.connection->SendCvpCommand(QStringLiteral("\x02\x02%000000000000\x03\x03"));
    ASSERT_TRUE(waitUntil([&] { return w.received.join("").endsWith("hello\x03\x03"); }));
    ASSERT_TRUE(waitUntil([&] { return core.framesWithCommand(Command::KeepAlive).size() == 1; }));

    // Lost and found again.
    core.dropConnection();
    ASSERT_TRUE(waitUntil([&] { return w.closed.size() == 1; }));
    EXPECT_EQ(w.connection->GetConnectionState(), 0);
    ASSERT_TRUE(waitUntil([&] { return w.connected.size() == 2; }));

    // Closing for good: Closed, and no new attempt.
    w.connection->CloseMasterConnection();
    EXPECT_EQ(w.closed.size(), 2);
    const int connections = core.connectionCount() + refusing.connectionCount();
    pumpEvents(fastTimings().reconnectDelayMs * 3);
    EXPECT_EQ(core.connectionCount() + refusing.connectionCount(), connections);
}

TEST(clsCVCoreConnection, AFrameWithoutATwelveDigitAddressBlockIsNotSent) {
    TestCore core;
    Wrapper w;
    w.connection->StartHunting({core.huntEntry()});
    ASSERT_TRUE(waitUntil([&] { return w.connected.size() == 1; }));

    LogCapture log;
    // A router or I/O number beyond four hexadecimal digits, a negative one, a block cut short.
    w.connection->SendCvpCommand(
        BuildFrame(Command::MeterSubscription, PointAddressBlock(70000, 5, true)));
    w.connection->SendCvpCommand(BuildFrame(Command::MeterAddOns, PointAddressBlock(1, -3, false)));
    w.connection->SendCvpCommand(BuildFrame(Command::FaderGainQuery, u"0001000G0000"));
    w.connection->SendCvpCommand(QStringLiteral("\x02\x02/0001"));
    EXPECT_EQ(log.warnings("corvane.protocol", "address block"), 4);

    // What comes after goes out as usual; the refused frames never reached the Core before it.
    w.connection->SendCvpCommand(
        BuildFrame(Command::MeterSubscription, PointAddressBlock(65535, 10, false)));
    ASSERT_TRUE(
        waitUntil([&] { return !core.framesWithCommand(Command::MeterSubscription).isEmpty(); }));
    EXPECT_EQ(core.framesWithCommand(Command::MeterSubscription).first().addressBlock(),
              "FFFF0000000A");
    EXPECT_EQ(core.framesWithCommand(Command::MeterSubscription).size(), 1);
    EXPECT_TRUE(core.framesWithCommand(Command::MeterAddOns).isEmpty());
    EXPECT_TRUE(core.framesWithCommand(Command::FaderGainQuery).isEmpty());
}

TEST(clsCVCoreConnection, EveryLossReportIsPassedOn) {
    Wrapper w;
    emit w.connection->connector()->ConnectedChanged(false);
    emit w.connection->connector()->ConnectedChanged(false);
    EXPECT_EQ(w.closed.size(), 2);
    EXPECT_EQ(w.connection->GetConnectionState(), 0);
}

TEST(clsCVCoreConnection, MasterConnectTriesTheRemoteHostDirectly) {
    TestCore core;
    Wrapper w;
    w.connection->connector()->setCorePort(core.port());
    w.connection->setMasterRemoteHost(QStringLiteral("127.0.0.1"));
    w.connection->MasterConnect();
    ASSERT_TRUE(waitUntil([&] { return w.connected.size() == 1; }));
    EXPECT_EQ(core.loginUser(), QStringLiteral("desk 3"));
}

TEST(clsCVCoreConnection, ReleaseShutsDownQuietlyAndRemovesTheWindow) {
    TestCore core;
    Wrapper w;
    w.connection->StartHunting({core.huntEntry()});
    ASSERT_TRUE(waitUntil([&] { return w.connected.size() == 1; }));
    const QPointer<frmConnecting> form = w.connection->connectingWindow();
    ASSERT_NE(form, nullptr);

    QObject::disconnect(w.connection.get(), nullptr, nullptr, nullptr);
    w.connection.reset();
    ASSERT_TRUE(waitUntil([&] { return core.openConnections() == 0; }));
    EXPECT_EQ(form, nullptr);
    pumpEvents(fastTimings().reconnectDelayMs * 3);
    EXPECT_EQ(core.connectionCount(), 1);
}
