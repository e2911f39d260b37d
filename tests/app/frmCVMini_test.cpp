#include "app/frmCVMini.h"
#include "connection/clsCVCoreConnection.h"
#include "connection/frmConnecting.h"
#include "protocol/ClientProtocolConsts.h"
#include "support/AppGlobals.h"
#include "support/TestCore.h"
#include "support/UserPrompt.h"
#include "support/Wait.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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
