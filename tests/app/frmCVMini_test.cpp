#include "app/frmCVMini.h"
#include "connection/clsCVCoreConnection.h"
#include "connection/frmConnecting.h"
#include "panel/PanelState.h"
#include "protocol/ClientProtocolConsts.h"
#include "support/AboutBox.h"
#include "support/AppGlobals.h"
#include "support/LogCapture.h"
#include "support/TestCore.h"
#include "support/UserPrompt.h"
#include "support/Wait.h"
#include "support/frmDebug.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>

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
    QByteArray readFile(const QString& name) {
        QFile file(m_dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }
    // Waits for the panel request, then delivers a panel named Desk with these controls.
    static bool deliverPanel(TestCore& core, const QString& controls) {
        if (!waitUntil([&] { return !core.framesWithCommand(Command::PanelDefinition).isEmpty(); },
                       10000)) {
            return false;
        }
        core.sendFrame(Command::PanelDefinition, modClientProtocolConsts::strNoAddress,
                       "Desk title" + modClientProtocolConsts::strFieldSeparator + desk(controls));
        return true;
    }
    static QString desk(const QString& controls) {
        return "<panel><name>Desk</name><controllist>" + controls + "</controllist></panel>";
    }
    static QString meter(const QString& type, const QString& name, int router, int io,
                         bool isSource) {
        return QStringLiteral("<c><type>%1</type><name>%2</name><meterrouternumber>%3"
                              "</meterrouternumber><meterionumber>%4</meterionumber>"
                              "<meterissource>%5</meterissource></c>")
            .arg(type, name)
            .arg(router)
            .arg(io)
            .arg(isSource ? "true" : "false");
    }
    // Two meters on one destination point, a channel strip on a source point, and a meter-hold
    // record, which has no control of its own but is still a meter point.
    static QString metersPanel() {
        return meter("meter", "M1", 3, 10, false) + meter("meter", "M2", 3, 10, false) +
               meter("meterfader", "F1", 1, 12, true) + meter("meterhold", "H1", 2, 5, true) +
               "<c><type>button</type><name>Go</name></c>";
    }
    static QStringList addressBlocks(const QList<TestFrame>& frames) {
        QStringList blocks;
        for (const TestFrame& frame : frames) {
            blocks << frame.addressBlock() + (frame.payload().isEmpty() ? "" : "+payload");
        }
        return blocks;
    }
    // One tick of a window timer, as if it had run out.
    static void fire(QTimer& timer) { QMetaObject::invokeMethod(&timer, "timeout"); }

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
    EXPECT_EQ(frmDebug::find(), nullptr); // only with "-d"
    frmConnecting* connecting = frmConnecting::find();
    ASSERT_NE(connecting, nullptr);
    EXPECT_TRUE(connecting->isVisible());
    // The splash is up, holding the focus, and goes 2 s after start-up has finished.
    AboutBox* splash = AboutBox::find();
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->isVisible());
    EXPECT_TRUE(splash->SetFocusTimer()->isActive());
    EXPECT_TRUE(splash->UnloadTimer()->isActive());

    window.move(30, 45);
    window.close();
    EXPECT_EQ(AboutBox::find(), nullptr);
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
    // The splash holds the focus while it is up; a click sends it away.
    ASSERT_NE(AboutBox::find(), nullptr);
    AboutBox::find()->close();
    ASSERT_TRUE(waitUntil([] { return AboutBox::find() == nullptr; }));
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

TEST_F(MainWindowTest, KeepAliveTenSecondsAfterTheBuildThenAtOneRandomIntervalWhileConnected) {
    TestCore core;
    writeFile("CVMiniConfig.txt", configFor(core));
    frmCVMini window;
    ASSERT_TRUE(window.Form_Load({}));
    EXPECT_FALSE(window.timUPPing().isActive()); // no panel yet
    ASSERT_TRUE(deliverPanel(core, "<c><type>button</type><name>Go</name></c>"));
    ASSERT_TRUE(waitUntil([&] { return window.timUPPing().isActive(); }));
    EXPECT_EQ(window.timUPPing().interval(), 10000);

    fire(window.timUPPing());
    const int drawn = window.timUPPing().interval();
    EXPECT_GE(drawn, 10000);
    EXPECT_LE(drawn, 30000);
    EXPECT_TRUE(window.timUPPing().isActive());
    ASSERT_TRUE(waitUntil([&] { return core.framesWithCommand(Command::KeepAlive).size() == 1; }));
    const TestFrame keepAlive = core.framesWithCommand(Command::KeepAlive).first();
    EXPECT_EQ(keepAlive.addressBlock(), modClientProtocolConsts::strNoAddress);
    EXPECT_EQ(keepAlive.payload(), "Desk"); // the panel's name, the window's Tag

    fire(window.timUPPing());
    ASSERT_TRUE(waitUntil([&] { return core.framesWithCommand(Command::KeepAlive).size() == 2; }));
    if (drawn != 10000) { // a draw of exactly 10000 ms is drawn again
        EXPECT_EQ(window.timUPPing().interval(), drawn);
    }

    // Not connected: nothing is sent and the timer keeps running.
    core.setLoginBehaviour(TestCore::Login::NeverAnswer);
    core.dropConnection();
    ASSERT_TRUE(waitUntil([&] { return window.MasterSocket()->GetConnectionState() == 0; }));
    fire(window.timUPPing());
    pumpEvents(200);
    EXPECT_EQ(core.framesWithCommand(Command::KeepAlive).size(), 2);
    EXPECT_TRUE(window.timUPPing().isActive());
    window.close();
}

TEST_F(MainWindowTest, OperatorMessagesAreShownOneBoxEachInOrder) {
    const QString us = modClientProtocolConsts::strFieldSeparator;
    struct Row {
        QStringList payloads; // command-13 payloads arriving before the timer ticks
        QStringList boxes;
    };
    const QList<Row> rows = {
        {{"Mic ", "live"}, {"Mic live"}}, // no separator: one text
        {{"One" + us + "Two" + us + "Three" + us}, {"One", "Two", "Three"}},
        {{"A" + us, us + "B"}, {"A", "", "B"}}, // empty pieces are boxes too
        {{us}, {}},                             // only the trailing separator
    };
    frmCVMini window;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.payloads.join("|").toStdString());
        m_messages.clear();
        for (const QString& payload : row.payloads) {
            window.AppendPendingMessage(payload);
        }
        ASSERT_TRUE(window.timMessage().isActive());
        EXPECT_EQ(window.timMessage().interval(), 250);
        ASSERT_TRUE(waitUntil([&] { return !window.timMessage().isActive(); }));
        QStringList expected;
        for (const QString& box : row.boxes) {
            expected << "Corvane Mini|" + box;
        }
        EXPECT_EQ(m_messages, expected);
        EXPECT_TRUE(window.strPendingMessages().isEmpty());
    }
}

TEST_F(MainWindowTest, TextsArrivingWhileABoxIsOpenWaitAndAShutDownEndsTheQueue) {
    const QString us = modClientProtocolConsts::strFieldSeparator;
    frmCVMini window;
    QStringList shown;
    int open = 0;
    int mostOpen = 0;
    UserPrompt::setHandler([&](QWidget*, const QString&, const QString& text) {
        mostOpen = std::max(mostOpen, ++open);
        shown << text;
        if (text == "first") {
            // While the box is open a new message comes in and its timer runs out.
            window.AppendPendingMessage("late");
            pumpEvents(window.timMessage().interval() * 2);
        }
        if (text == "x") {
            window.close();
        }
        --open;
    });
    window.AppendPendingMessage("first" + us + "second" + us);
    ASSERT_TRUE(waitUntil([&] { return shown.size() == 3; }));
    EXPECT_EQ(shown, QStringList({"first", "second", "late"}));
    EXPECT_EQ(mostOpen, 1); // never a box over a box

    // A shut-down while a box is open shows nothing more.
    window.AppendPendingMessage("x" + us + "y");
    ASSERT_TRUE(waitUntil([&] { return window.programEnded(); }));
    pumpEvents(window.timMessage().interval() * 2);
    EXPECT_EQ(shown.mid(3), QStringList({"x"}));
}

TEST_F(MainWindowTest, ControlsAreMadeVisibleOnceAfterABuild) {
    frmCVMini window;
    window.show();
    window.AnalyzeXML(desk("<c><type>button</type><name>Go</name></c>"
                           "<c><type>codeccontrol</type><name>Codec</name></c>"
                           "<c><type>label</type><name>Info</name></c>"));
    ASSERT_TRUE(window.timForceVisible().isActive());
    EXPECT_EQ(window.timForceVisible().interval(), 1000);
    QWidget* go = (*window.panel().collControls.find("go"))->pntrControl;
    QWidget* info = (*window.panel().collControls.find("info"))->pntrControl;
    go->hide();
    info->hide();
    fire(window.timForceVisible());
    EXPECT_TRUE(go->isVisible());
    EXPECT_TRUE(info->isVisible()); // the codec record, without a control, is skipped
    EXPECT_FALSE(window.timForceVisible().isActive());
}

TEST_F(MainWindowTest, ClosingUnsubscribesTheMetersAtTheCoreSavesThePositionAndEnds) {
    TestCore core;
    writeFile("CVMiniConfig.txt", configFor(core));
    frmCVMini window;
    ASSERT_TRUE(window.Form_Load({}));
    ASSERT_TRUE(deliverPanel(core, metersPanel()));
    ASSERT_TRUE(
        waitUntil([&] { return core.framesWithCommand(Command::MeterSubscription).size() == 3; }));
    core.clearFrames();

    window.move(30, 45);
    window.close();
    EXPECT_TRUE(window.programEnded());
    EXPECT_TRUE(appGlobals().boolShuttingDown);
    ASSERT_TRUE(
        waitUntil([&] { return core.framesWithCommand(Command::MeterAddOns).size() == 4; }));
    EXPECT_EQ(addressBlocks(core.framesWithCommand(Command::MeterAddOns)),
              QStringList({"00030000000A", "00030000000A", "0001000C0000", "000200050000"}));
    EXPECT_EQ(readFile("MiniPosition.inf"), QByteArray("Left=450\r\nTop=675\r\n\r\n"));
    EXPECT_TRUE(waitUntil([&] { return core.openConnections() == 0; }));
    EXPECT_TRUE(window.panel().collControls.isEmpty());
    EXPECT_EQ(frmConnecting::find(), nullptr);
    EXPECT_EQ(AboutBox::find(), nullptr);
}

TEST_F(MainWindowTest, WithoutACoreTheUnsubscriptionsStillGoToTheConnector) {
    TestCore core;
    core.setLoginBehaviour(TestCore::Login::NeverAnswer);
    writeFile("CVMiniConfig.txt", configFor(core));
    writeFile("MiniPosition.inf", "Left=1500\r\nTop=3000\r\n");
    frmCVMini window;
    ASSERT_TRUE(window.Form_Load({}));
    window.AnalyzeXML(desk(metersPanel()));
    ASSERT_EQ(window.MasterSocket()->GetConnectionState(), 0);

    window.showMaximized(); // a maximised window leaves the saved position as it was
    LogCapture log;
    window.close();
    EXPECT_TRUE(window.programEnded());
    EXPECT_EQ(log.linesContaining("corvane.protocol", "out command 20 ").size(), 4);
    EXPECT_TRUE(core.framesWithCommand(Command::MeterAddOns).isEmpty());
    EXPECT_EQ(readFile("MiniPosition.inf"), QByteArray("Left=1500\r\nTop=3000\r\n"));
}

TEST_F(MainWindowTest, ClosingDuringStartUpEndsTheProgram) {
    TestCore core;
    writeFile("CVMiniConfig.txt", configFor(core));
    frmCVMini window;
    // The close is handled while start-up lets pending events run.
    QTimer::singleShot(0, &window, &QWidget::close);
    EXPECT_FALSE(window.Form_Load({}));
    EXPECT_TRUE(window.programEnded());
    pumpEvents(300);
    EXPECT_EQ(core.connectionCount(), 0);
    EXPECT_EQ(frmConnecting::find(), nullptr);
    EXPECT_EQ(AboutBox::find(), nullptr);
}

TEST_F(MainWindowTest, TheDebugWindowShowsWhatTheConnectionGoesThrough) {
    TestCore core;
    core.setLoginBehaviour(TestCore::Login::Refuse);
    writeFile("CVMiniConfig.txt", configFor(core));
    frmCVMini window;
    ASSERT_TRUE(window.Form_Load({"-d"}));
    frmDebug* debug = frmDebug::find();
    ASSERT_NE(debug, nullptr);
    EXPECT_TRUE(debug->isVisible());
    EXPECT_EQ(debug->windowTitle(), "Debug");
    EXPECT_EQ(debug->pos(), QPoint(window.frameGeometry().right() + 1, window.y()));

    const auto logged = [&](const QString& text) { return debug->log().indexOf(text); };
    ASSERT_TRUE(waitUntil([&] { return logged("login refused") >= 0; }));
    core.setLoginBehaviour(TestCore::Login::Accept);
    ASSERT_TRUE(waitUntil([&] { return logged("Connected to Core 127.0.0.1") >= 0; }, 10000));

    // It keeps beside the panel as the panel grows, until the operator moves it.
    core.sendFrame(Command::PanelDefinition, modClientProtocolConsts::strNoAddress,
                   "Desk" + modClientProtocolConsts::strFieldSeparator +
                       "<panel><name>Desk</name><width>12000</width></panel>");
    ASSERT_TRUE(waitUntil([&] { return window.width() == 800; }));
    EXPECT_EQ(debug->pos(), QPoint(window.frameGeometry().right() + 1, window.y()));
    debug->move(5, 5);
    window.resize(700, 300);
    EXPECT_EQ(debug->pos(), QPoint(5, 5));

    core.dropConnection();
    ASSERT_TRUE(waitUntil([&] { return logged("connection lost") >= 0; }));
    EXPECT_LT(logged("Hunting: trying Core 127.0.0.1"), logged("login refused"));
    EXPECT_LT(logged("login refused"), logged("Connected to Core"));
    EXPECT_LT(logged("Connected to Core"), logged("connection lost"));
    EXPECT_EQ(debug->txtDebug()->toPlainText(), QString(debug->log()).replace("\r\n", "\n"));
    window.close();
    EXPECT_EQ(frmDebug::find(), nullptr);
}

TEST_F(MainWindowTest, ALoginThatWouldBeCutIsRefusedInTheDebugWindowAndTheLog) {
    TestCore core;
    writeFile("CVMiniConfig.txt", configFor(core, "userpassword=on\x03\x03"
                                                  "air\r\n"));
    LogCapture log;
    frmCVMini window;
    ASSERT_TRUE(window.Form_Load({"-d"}));
    ASSERT_NE(frmDebug::find(), nullptr);
    EXPECT_TRUE(frmDebug::find()->log().contains("Login not sent: the password contains the "
                                                 "frame end"));
    EXPECT_EQ(log.linesContaining("corvane.connection", "warning: Login not sent").size(), 1);
    pumpEvents(300);
    EXPECT_EQ(core.connectionCount(), 0);
    window.close();
}

TEST_F(MainWindowTest, FramesAreTracedWithTheirDirectionOnlyWhenSwitchedOn) {
    TestCore core;
    writeFile("CVMiniConfig.txt", configFor(core, "userpassword=secret\r\n"));
    frmCVMini window;
    {
        LogCapture log;
        ASSERT_TRUE(window.Form_Load({}));
        ASSERT_TRUE(waitUntil(
            [&] { return !log.linesContaining("corvane.protocol", "out command 43").isEmpty(); }));
        core.sendFrame(Command::OperatorMessage, modClientProtocolConsts::strNoAddress,
                       "a\x1f"
                       "b");
        ASSERT_TRUE(waitUntil(
            [&] { return !log.linesContaining("corvane.protocol", "in command 13").isEmpty(); }));
        EXPECT_EQ(log.linesContaining("corvane.protocol", "out command 43").first(),
                  "debug: out command 43 address 000000000000 \"Main\"");
        EXPECT_EQ(log.linesContaining("corvane.protocol", "in command 13").first(),
                  "debug: in command 13 address 000000000000 \"a\\x1fb\"");
        EXPECT_FALSE(log.linesContaining("corvane.connection", "logging in").isEmpty());
        EXPECT_FALSE(log.linesContaining("corvane.connection", "from Core").isEmpty());
        for (const QString& category : {"corvane.connection", "corvane.protocol"}) {
            EXPECT_TRUE(log.linesContaining(category, "secret").isEmpty());
        }
    }
    LogCapture quiet(QString{}); // the default: no debug output
    core.sendFrame(Command::OperatorMessage, modClientProtocolConsts::strNoAddress, "c");
    ASSERT_TRUE(waitUntil([&] { return window.strPendingMessages().endsWith("c"); }));
    EXPECT_TRUE(quiet.lines("corvane.protocol").isEmpty());
    EXPECT_TRUE(quiet.lines("corvane.connection").isEmpty());
    window.close();
}
