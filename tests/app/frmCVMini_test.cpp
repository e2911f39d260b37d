#include "app/frmCVMini.h"
#include "components/GainFader.h"
#include "components/LedMeter.h"
#include "components/MeterFader.h"
#include "connection/clsCVCoreConnection.h"
#include "connection/frmConnecting.h"
#include "meters/frmMeterWinsock.h"
#include "panel/PanelState.h"
#include "protocol/ClientProtocolConsts.h"
#include "protocol/FrameBuilder.h"
#include "support/AboutBox.h"
#include "support/AnsweringPrompt.h"
#include "support/LogCapture.h"
#include "support/NumberRules.h"
#include "support/StripParts.h"
#include "support/TestCore.h"
#include "support/TestMeterServer.h"
#include "support/Wait.h"
#include "support/frmDebug.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>

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
    }
    void TearDown() override { QDir::setCurrent(m_previousDir); }
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
    // A timer of the window, by its name.
    static QTimer& timer(const frmCVMini& window, const char* name) {
        auto* found = window.findChild<QTimer*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }
    static frmMeterWinsock& meterClient(const frmCVMini& window) {
        return *window.findChild<frmMeterWinsock*>(QStringLiteral("frmMeterWinsock"));
    }

    // Runs an action inside the handling of the first event of a type that the object gets.
    class CloseOn : public QObject {
    public:
        CloseOn(QObject* watched, QEvent::Type type, std::function<void()> action)
            : m_type(type), m_action(std::move(action)) {
            watched->installEventFilter(this);
        }
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == m_type && m_action) {
                std::exchange(m_action, {})();
            }
            return false;
        }

    private:
        QEvent::Type m_type;
        std::function<void()> m_action;
    };

    QTemporaryDir m_dir;
    QString m_previousDir;
    AnsweringPrompt m_prompt; // the windows' message boxes
    QStringList& m_messages = m_prompt.shown;
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
    // quietLimitMs: how long a point may stay silent before it is subscribed again.
    void bringUp(qint64 quietLimitMs = RuntimeTimings{}.meterQuietLimitMs) {
        writeFile(
            "CVMiniConfig.txt",
            configFor(m_core, "meterserverport=" + QByteArray::number(m_meters.port()) + "\r\n"));
        RuntimeTimings timings;
        timings.meterCheckMs = 150;
        timings.meterQuietLimitMs = quietLimitMs;
        m_window = std::make_unique<frmCVMini>(timings, &m_prompt);
        ASSERT_TRUE(m_window->Form_Load({}));
        ASSERT_TRUE(waitUntil(
            [&] { return !m_core.framesWithCommand(Command::PanelDefinition).isEmpty(); }));
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
        return qobject_cast<Widget*>(m_window->panel().collControls.find(name)->get()->pntrControl);
    }

    TestCore m_core;
    TestMeterServer m_meters;
    std::unique_ptr<frmCVMini> m_window;
    int m_router = 41;
};

} // namespace

TEST_F(MainWindowTest, AnEmptyConfigurationTellsTheOperatorAndEnds) {
    writeFile("CVMiniConfig.txt", "");
    frmCVMini window{{}, &m_prompt};
    EXPECT_FALSE(window.Form_Load({}));
    EXPECT_EQ(m_messages, QStringList({"Corvane Mini|There is no config file. Corvane Mini will "
                                       "now shut down."}));
    EXPECT_EQ(window.findChild<frmConnecting*>(), nullptr);
    window.close();
    EXPECT_FALSE(QFile::exists(m_dir.filePath("MiniPosition.inf"))); // nothing is saved
}

TEST_F(MainWindowTest, StartsFromTheSavedPositionAndShowsTheConnectingWindow) {
    TestCore core;
    core.setLoginBehaviour(TestCore::Login::NeverAnswer);
    writeFile("CVMiniConfig.txt", configFor(core, "alwaysontop=true\r\n"));
    writeFile("MiniPosition.inf", "Left=1500\r\nTop=3000\r\n\r\n");
    frmCVMini window{{}, &m_prompt};
    ASSERT_TRUE(window.Form_Load({"-M"}));
    EXPECT_EQ(window.pos(), QPoint(100, 200)); // 15 twips a pixel at 96 dpi
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(window.windowTitle(), "Corvane Mini");
    EXPECT_TRUE(window.panel().strGraphicsPath.endsWith("/PanelGraphics/"));
    EXPECT_EQ(window.findChild<frmDebug*>(), nullptr); // only with "-d"
    frmConnecting* connecting = window.findChild<frmConnecting*>();
    ASSERT_NE(connecting, nullptr);
    EXPECT_TRUE(connecting->isVisible());
    EXPECT_EQ(connecting->parentWidget(), &window); // in front of the panel, as its tool window
    // The splash is up, holding the focus, and goes 2 s after start-up has finished.
    AboutBox* splash = window.findChild<AboutBox*>();
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->isVisible());
    EXPECT_TRUE(splash->SetFocusTimer()->isActive());
    EXPECT_TRUE(splash->UnloadTimer()->isActive());

    window.move(30, 45);
    window.close();
    EXPECT_EQ(window.findChild<AboutBox*>(), nullptr);
    QFile saved(m_dir.filePath("MiniPosition.inf"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("Left=450\r\nTop=675\r\n\r\n"));
    EXPECT_EQ(window.findChild<frmConnecting*>(), nullptr);
}

TEST_F(MainWindowTest, AWindowSavedOnAMonitorThatIsGoneOpensOnThePrimaryScreen) {
    TestCore core;
    core.setLoginBehaviour(TestCore::Login::NeverAnswer);
    writeFile("CVMiniConfig.txt", configFor(core));
    writeFile("MiniPosition.inf", "Left=90000\r\nTop=45000\r\n"); // 6000, 3000 px
    frmCVMini window{{}, &m_prompt};
    const QSize size = window.size();
    ASSERT_TRUE(window.Form_Load({}));
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(area.contains(QRect(window.pos(), QSize(100, 40))))
        << window.pos().x() << "," << window.pos().y();
    EXPECT_EQ(window.size(), size);
    window.close();
}

TEST_F(MainWindowTest, AWindowThatWasNeverPlacedLeavesTheSavedPositionAlone) {
    writeFile("MiniPosition.inf", "Left=1500\r\nTop=3000\r\n");
    {
        frmCVMini window{{}, &m_prompt};
        window.move(30, 45);
        window.close();
        EXPECT_TRUE(window.programEnded());
    }
    EXPECT_EQ(readFile("MiniPosition.inf"), QByteArray("Left=1500\r\nTop=3000\r\n"));
}

TEST_F(MainWindowTest, RequestsThePanelAndHandlesWhatTheCoreSends) {
    TestCore core;
    writeFile("CVMiniConfig.txt", configFor(core));
    frmCVMini window{{}, &m_prompt};
    ASSERT_TRUE(window.Form_Load({}));
    ASSERT_TRUE(
        waitUntil([&] { return !core.framesWithCommand(Command::PanelDefinition).isEmpty(); }));
    EXPECT_EQ(core.framesWithCommand(Command::PanelDefinition).first().payload(), "Main");
    EXPECT_EQ(window.MasterSocket()->GetConnectionState(), 7);

    // An operator message arrives in two frames and waits for the message timer.
    core.sendFrame(Command::OperatorMessage, modClientProtocolConsts::strNoAddress, "Mic ");
    core.sendFrame(Command::OperatorMessage, modClientProtocolConsts::strNoAddress, "live");
    ASSERT_TRUE(waitUntil([&] { return m_messages.contains("Corvane Mini|Mic live"); }));

    // The panel definition ends the "Connecting" window and points metering at this Core.
    ASSERT_NE(window.findChild<frmConnecting*>(), nullptr);
    core.sendFrame(Command::PanelDefinition, modClientProtocolConsts::strNoAddress, "");
    ASSERT_TRUE(waitUntil([&] { return window.findChild<frmConnecting*>() == nullptr; }));
    EXPECT_EQ(meterClient(window).strMeterHost(), window.MasterSocket()->MasterRemoteHost());
    EXPECT_FALSE(meterClient(window).strMeterHost().isEmpty());

    // Losing the Core brings the "Connecting" window back while it hunts again.
    core.dropConnection();
    ASSERT_TRUE(waitUntil([&] { return window.MasterSocket()->GetConnectionState() == 0; }));
    ASSERT_TRUE(waitUntil(
        [&] { return core.framesWithCommand(Command::PanelDefinition).size() == 2; }, 10000));
    EXPECT_NE(window.findChild<frmConnecting*>(), nullptr);
    window.close();
}

TEST_F(MainWindowTest, TheConnectingWindowKeepsTheFocusWhileItIsShown) {
    TestCore core;
    core.setLoginBehaviour(TestCore::Login::NeverAnswer);
    writeFile("CVMiniConfig.txt", configFor(core));
    frmCVMini window{{}, &m_prompt};
    ASSERT_TRUE(window.Form_Load({}));
    frmConnecting* connecting = window.findChild<frmConnecting*>();
    ASSERT_NE(connecting, nullptr);
    // The splash holds the focus while it is up; a click sends it away.
    ASSERT_NE(window.findChild<AboutBox*>(), nullptr);
    window.findChild<AboutBox*>()->close();
    ASSERT_TRUE(waitUntil([&] { return window.findChild<AboutBox*>() == nullptr; }));
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
    frmCVMini window{{}, &m_prompt};
    ASSERT_TRUE(window.Form_Load({}));
    EXPECT_FALSE(timer(window, "timUPPing").isActive()); // no panel yet
    ASSERT_TRUE(deliverPanel(core, "<c><type>button</type><name>Go</name></c>"));
    ASSERT_TRUE(waitUntil([&] { return timer(window, "timUPPing").isActive(); }));
    EXPECT_EQ(timer(window, "timUPPing").interval(), 10000);

    fire(timer(window, "timUPPing"));
    const int drawn = timer(window, "timUPPing").interval();
    EXPECT_GE(drawn, 10000);
    EXPECT_LE(drawn, 30000);
    EXPECT_TRUE(timer(window, "timUPPing").isActive());
    ASSERT_TRUE(waitUntil([&] { return core.framesWithCommand(Command::KeepAlive).size() == 1; }));
    const TestFrame keepAlive = core.framesWithCommand(Command::KeepAlive).first();
    EXPECT_EQ(keepAlive.addressBlock(), modClientProtocolConsts::strNoAddress);
    EXPECT_EQ(keepAlive.payload(), "Desk"); // the panel's name, the window's Tag

    fire(timer(window, "timUPPing"));
    ASSERT_TRUE(waitUntil([&] { return core.framesWithCommand(Command::KeepAlive).size() == 2; }));
    if (drawn != 10000) { // a draw of exactly 10000 ms is drawn again
        EXPECT_EQ(timer(window, "timUPPing").interval(), drawn);
    }

    // Not connected: nothing is sent and the timer keeps running.
    core.setLoginBehaviour(TestCore::Login::NeverAnswer);
    core.dropConnection();
    ASSERT_TRUE(waitUntil([&] { return window.MasterSocket()->GetConnectionState() == 0; }));
    fire(timer(window, "timUPPing"));
    pumpEvents(200);
    EXPECT_EQ(core.framesWithCommand(Command::KeepAlive).size(), 2);
    EXPECT_TRUE(timer(window, "timUPPing").isActive());
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
    frmCVMini window{{}, &m_prompt};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.payloads.join("|").toStdString());
        m_messages.clear();
        for (const QString& payload : row.payloads) {
            window.AppendPendingMessage(payload);
        }
        ASSERT_TRUE(timer(window, "timMessage").isActive());
        EXPECT_EQ(timer(window, "timMessage").interval(), 250);
        ASSERT_TRUE(waitUntil([&] { return !timer(window, "timMessage").isActive(); }));
        QStringList expected;
        for (const QString& box : row.boxes) {
            expected << "Corvane Mini|" + box;
        }
        EXPECT_EQ(m_messages, expected);
    }
}

TEST_F(MainWindowTest, MessagesArrivingInAStreamAreShownWithoutWaitingForItToEnd) {
    frmCVMini window{{}, &m_prompt};
    // One message every 100 ms: each arrival leaves the running timer alone, so the first box
    // comes 250 ms after the first message and does not wait for a pause.
    int arrivals = 0;
    QTimer stream;
    stream.setInterval(100);
    QObject::connect(&stream, &QTimer::timeout, &window,
                     [&] { window.AppendPendingMessage(QString::number(++arrivals)); });
    window.AppendPendingMessage("0");
    stream.start();
    ASSERT_TRUE(waitUntil([&] { return !m_messages.isEmpty(); }, 3000));
    stream.stop();
    EXPECT_LE(arrivals, 3);
    EXPECT_TRUE(m_messages.first().startsWith("Corvane Mini|0"));
}

TEST_F(MainWindowTest, TextsArrivingWhileABoxIsOpenWaitAndAShutDownEndsTheQueue) {
    const QString us = modClientProtocolConsts::strFieldSeparator;
    frmCVMini window{{}, &m_prompt};
    QStringList shown;
    int open = 0;
    int mostOpen = 0;
    bool endedWhileOpen = true;
    bool dismissed = false;
    m_prompt.onShow = [&](const QString& text) {
        mostOpen = std::max(mostOpen, ++open);
        shown << text;
        if (text == "first") {
            // While the box is open a new message comes in and its timer runs out.
            window.AppendPendingMessage("late");
            pumpEvents(timer(window, "timMessage").interval() * 2);
        }
        if (text == "x") {
            // The end waits for the box's handler to return, and dismisses the box instead of
            // waiting for the operator's click.
            window.close();
            endedWhileOpen = window.programEnded();
            dismissed = waitUntil([&] { return m_prompt.dismissed(); }, 2000);
        }
        --open;
    };
    window.AppendPendingMessage("first" + us + "second" + us);
    ASSERT_TRUE(waitUntil([&] { return shown.size() == 3; }));
    EXPECT_EQ(shown, QStringList({"first", "second", "late"}));
    EXPECT_EQ(mostOpen, 1); // never a box over a box

    // A shut-down while a box is open shows nothing more.
    window.AppendPendingMessage("x" + us + "y");
    ASSERT_TRUE(waitUntil([&] { return window.programEnded(); }));
    EXPECT_FALSE(endedWhileOpen);
    EXPECT_TRUE(dismissed);
    pumpEvents(timer(window, "timMessage").interval() * 2);
    EXPECT_EQ(shown.mid(3), QStringList({"x"}));
}

TEST_F(MainWindowTest, AnEndAskedForWhileAFrameIsHandledWaitsForItAndDropsTheFramesBehindIt) {
    TestCore core;
    writeFile("CVMiniConfig.txt", configFor(core));
    frmCVMini window{{}, &m_prompt};
    ASSERT_TRUE(window.Form_Load({}));
    ASSERT_TRUE(
        waitUntil([&] { return !core.framesWithCommand(Command::PanelDefinition).isEmpty(); }));
    // The window is closed while the panel definition is being handled (its title is set
    // before the panel is built); an operator message follows in the same arrival.
    bool endedWhileHandled = true;
    CloseOn closer(&window, QEvent::WindowTitleChange, [&] {
        window.close();
        endedWhileHandled = window.programEnded();
    });
    const QString us = modClientProtocolConsts::strFieldSeparator;
    core.sendRaw(
        (BuildFrame(Command::PanelDefinition, modClientProtocolConsts::strNoAddress,
                    "Desk title" + us + desk(metersPanel())) +
         BuildFrame(Command::OperatorMessage, modClientProtocolConsts::strNoAddress, u"late"))
            .toUtf8());
    ASSERT_TRUE(waitUntil([&] { return window.programEnded(); }));
    EXPECT_FALSE(endedWhileHandled);
    pumpEvents(300);
    EXPECT_FALSE(m_messages.contains("Corvane Mini|late"));
    // The panel of that frame was built to its end, then released: every meter point it
    // subscribed is unsubscribed after it, and nothing is subscribed after the end.
    ASSERT_TRUE(waitUntil([&] { return core.openConnections() == 0; }));
    QList<int> meterFrames;
    for (const TestFrame& frame : core.frames()) {
        if (frame.command() == Command::MeterSubscription ||
            frame.command() == Command::MeterAddOns) {
            meterFrames << frame.command();
        }
    }
    EXPECT_EQ(meterFrames, QList<int>({19, 19, 19, 20, 20, 20, 20}));
    EXPECT_TRUE(window.panel().collControls.isEmpty());
}

TEST_F(MainWindowTest, ControlsAreMadeVisibleOnceAfterABuild) {
    frmCVMini window{{}, &m_prompt};
    window.show();
    window.AnalyzeXML(desk("<c><type>button</type><name>Go</name></c>"
                           "<c><type>codeccontrol</type><name>Codec</name></c>"
                           "<c><type>label</type><name>Info</name></c>"));
    ASSERT_TRUE(timer(window, "timForceVisible").isActive());
    EXPECT_EQ(timer(window, "timForceVisible").interval(), 1000);
    QWidget* go = (*window.panel().collControls.find("go"))->pntrControl;
    QWidget* info = (*window.panel().collControls.find("info"))->pntrControl;
    go->hide();
    info->hide();
    fire(timer(window, "timForceVisible"));
    EXPECT_TRUE(go->isVisible());
    EXPECT_TRUE(info->isVisible()); // the codec record, without a control, is skipped
    EXPECT_FALSE(timer(window, "timForceVisible").isActive());
}

TEST_F(MainWindowTest, ClosingUnsubscribesTheMetersAtTheCoreAndTheMeterServerSavesAndEnds) {
    TestCore core;
    TestMeterServer meters;
    // The Core tells the address of every point it is asked about.
    QObject::connect(&core, &TestCore::frameReceived, &core, [&core](const TestFrame& frame) {
        if (frame.command() == Command::IoAddress) {
            core.sendFrame(Command::IoAddress, frame.addressBlock(), "dev/" + frame.addressBlock());
        }
    });
    writeFile("CVMiniConfig.txt",
              configFor(core, "meterserverport=" + QByteArray::number(meters.port()) + "\r\n"));
    frmCVMini window{{}, &m_prompt};
    ASSERT_TRUE(window.Form_Load({}));
    ASSERT_TRUE(deliverPanel(core, metersPanel()));
    ASSERT_TRUE(
        waitUntil([&] { return core.framesWithCommand(Command::MeterSubscription).size() == 3; }));
    const QByteArray dest = "DST 3 10 dev/00030000000A";
    const QByteArray source = "SRC 1 12 dev/0001000C0000";
    ASSERT_TRUE(waitUntil([&] {
        return meters.lines().contains("sm " + dest) && meters.lines().contains("sm " + source);
    }));
    core.clearFrames();
    meters.clearLines();

    window.move(30, 45);
    window.close();
    EXPECT_TRUE(window.programEnded());
    ASSERT_TRUE(
        waitUntil([&] { return core.framesWithCommand(Command::MeterAddOns).size() == 4; }));
    EXPECT_EQ(addressBlocks(core.framesWithCommand(Command::MeterAddOns)),
              QStringList({"00030000000A", "00030000000A", "0001000C0000", "000200050000"}));
    // Each meter control unsubscribes its point at the meter server, so the point the two
    // meters share hears it twice. The meter-hold point was never subscribed and its address is
    // not known: its Core is asked for it, and nothing goes to the meter server for it, then or
    // when the answer comes during the wait. Nothing is subscribed again.
    ASSERT_TRUE(waitUntil([&] { return meters.openConnections() == 0; }));
    EXPECT_EQ(meters.lines(), QList<QByteArray>({"um " + dest, "um " + dest, "um " + source}));
    EXPECT_EQ(addressBlocks(core.framesWithCommand(Command::IoAddress)),
              QStringList({"000200050000"}));
    EXPECT_TRUE(meterClient(window).collOpenMeters().isEmpty());
    EXPECT_EQ(readFile("MiniPosition.inf"), QByteArray("Left=450\r\nTop=675\r\n\r\n"));
    EXPECT_TRUE(waitUntil([&] { return core.openConnections() == 0; }));
    EXPECT_TRUE(window.panel().collControls.isEmpty());
    EXPECT_EQ(window.findChild<frmConnecting*>(), nullptr);
    EXPECT_EQ(window.findChild<AboutBox*>(), nullptr);
}

TEST_F(MainWindowTest, WithoutACoreTheUnsubscriptionsStillGoToTheConnector) {
    TestCore core;
    core.setLoginBehaviour(TestCore::Login::NeverAnswer);
    writeFile("CVMiniConfig.txt", configFor(core));
    writeFile("MiniPosition.inf", "Left=1500\r\nTop=3000\r\n");
    frmCVMini window{{}, &m_prompt};
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

TEST_F(MainWindowTest, ACloseDuringStartUpEndsTheProgramOnceStartUpHasFinished) {
    TestCore core;
    writeFile("CVMiniConfig.txt", configFor(core));
    writeFile("MiniPosition.inf", "Left=1500\r\nTop=3000\r\n");
    frmCVMini window{{}, &m_prompt};
    // Start-up runs no events of its own: a close that comes meanwhile (a service stop, the
    // operator) is handled as the event loop starts, before anything reaches the Core.
    QTimer::singleShot(0, &window, &QWidget::close);
    EXPECT_TRUE(window.Form_Load({}));
    EXPECT_FALSE(window.programEnded());
    ASSERT_TRUE(waitUntil([&] { return window.programEnded(); }));
    pumpEvents(300);
    EXPECT_TRUE(core.framesWithCommand(Command::PanelDefinition).isEmpty());
    EXPECT_EQ(core.openConnections(), 0);
    EXPECT_EQ(window.findChild<frmConnecting*>(), nullptr);
    EXPECT_EQ(window.findChild<AboutBox*>(), nullptr);
    EXPECT_EQ(readFile("MiniPosition.inf"), QByteArray("Left=1500\r\nTop=3000\r\n\r\n"));
}

TEST_F(MainWindowTest, TheDebugWindowShowsWhatTheConnectionGoesThrough) {
    TestCore core;
    core.setLoginBehaviour(TestCore::Login::Refuse);
    writeFile("CVMiniConfig.txt", configFor(core));
    frmCVMini window{{}, &m_prompt};
    ASSERT_TRUE(window.Form_Load({"-d"}));
    frmDebug* debug = window.findChild<frmDebug*>();
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
    // 12000 twips is the window's outer width, its frame included.
    ASSERT_TRUE(waitUntil([&] { return window.frameGeometry().width() == 800; }));
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
    EXPECT_EQ(window.findChild<frmDebug*>(), nullptr);
}

TEST_F(MainWindowTest, ALoginThatWouldBeCutIsRefusedInTheDebugWindowAndTheLog) {
    TestCore core;
    writeFile("CVMiniConfig.txt", configFor(core, "userpassword=on\x03\x03"
                                                  "air\r\n"));
    LogCapture log;
    frmCVMini window{{}, &m_prompt};
    ASSERT_TRUE(window.Form_Load({"-d"}));
    const frmDebug* debug = window.findChild<frmDebug*>();
    ASSERT_NE(debug, nullptr);
    EXPECT_TRUE(debug->log().contains("Login not sent: the password contains the frame end"));
    EXPECT_EQ(log.linesContaining("corvane.connection", "warning: Login not sent").size(), 1);
    pumpEvents(300);
    EXPECT_EQ(core.connectionCount(), 0);
    window.close();
}

TEST_F(MainWindowTest, FramesAreTracedWithTheirDirectionOnlyWhenSwitchedOn) {
    TestCore core;
    writeFile("CVMiniConfig.txt", configFor(core, "userpassword=secret\r\n"));
    frmCVMini window{{}, &m_prompt};
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
    // Shown on its own, or joined to the text before it when that still waited.
    ASSERT_TRUE(
        waitUntil([&] { return !m_messages.isEmpty() && m_messages.last().endsWith("c"); }));
    EXPECT_TRUE(quiet.lines("corvane.protocol").isEmpty());
    EXPECT_TRUE(quiet.lines("corvane.connection").isEmpty());
    window.close();
}

TEST_F(MeteringTest, APanelStartsMeteringWithItsSubscriptionsAndLevels) {
    bringUp();
    // Metering goes to the Core's host, on the configured meter port.
    ASSERT_TRUE(waitUntil([&] { return m_meters.linesStartingWith("SetMeterPoll").size() == 1; }));
    EXPECT_EQ(m_meters.lines().first(), "SetMeterPoll 120");
    EXPECT_EQ(meterClient(*m_window).strMeterHost(), m_window->MasterSocket()->MasterRemoteHost());
    EXPECT_EQ(meterClient(*m_window).intMeterPort(), m_meters.port());
    // The Core hears of every meter (command 19), and is asked once per point for the
    // addresses the meter server needs (command 46).
    answerAddressRequests();
    EXPECT_EQ(m_core.framesWithCommand(Command::MeterSubscription).size(), 3);
    const auto requests = m_core.framesWithCommand(Command::IoAddress);
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[0].addressBlock(), hex4(m_router) + "00000001");
    EXPECT_EQ(requests[1].addressBlock(), hex4(m_router) + "00020000");
    // Each reply sends its own point's subscription, once.
    ASSERT_TRUE(waitUntil([&] { return m_meters.linesStartingWith("sm ").size() == 2; }));
    pumpEvents(50);
    EXPECT_EQ(m_meters.linesStartingWith("sm "),
              QList<QByteArray>({subscribeLine(true, 1), subscribeLine(false, 2)}));

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
    EXPECT_FALSE(meterClient(*m_window).IsRunning());
    pumpEvents(400);
    EXPECT_EQ(m_meters.connectionCount(), 2);
    m_window->close();
}

TEST_F(MeteringTest, PointsThatFallQuietAreSubscribedAgainAtTheNextCheck) {
    bringUp(200);
    answerAddressRequests();
    ASSERT_TRUE(waitUntil([&] { return m_meters.linesStartingWith("sm ").size() >= 2; }));
    m_meters.clearLines();
    ASSERT_TRUE(waitUntil([&] {
        return m_meters.lines().count(subscribeLine(true, 1)) >= 1 &&
               m_meters.lines().count(subscribeLine(false, 2)) >= 1;
    }));
    m_window->close();
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
    timer(*m_window, "timCheckFader").setInterval(50);
    ASSERT_TRUE(
        waitUntil([&] { return !m_core.framesWithCommand(Command::FaderGainQuery).isEmpty(); }));
    EXPECT_EQ(m_core.framesWithCommand(Command::FaderGainQuery).first().payload(),
              "tcp://dev:4010_GET FaCH#2 Fader_Gain");
    m_window->close();
}

TEST_F(MeteringTest, EachDeliveryOfThePanelKeepsOneUpdatePerControlAndLine) {
    bringUp();
    answerAddressRequests();
    for (int delivery = 2; delivery <= 5; ++delivery) {
        m_core.sendFrame(Command::PanelDefinition, kNoAddress, meterPanel(m_router));
    }
    // Every delivery starts metering afresh; an attempt still being made when the next
    // delivery comes is given up for the new one, and one connection stays.
    ASSERT_TRUE(waitUntil([&] {
        return m_meters.linesStartingWith("SetMeterPoll").size() >= 2 &&
               m_meters.openConnections() == 1;
    }));
    EXPECT_EQ(
        m_window->panel().collMeterPointers.find(QString::number(m_router) + "_1_True")->names,
        "PgmL||PgmR");

    const qint64 before = meterClient(*m_window).receiver().controlUpdates();
    m_meters.sendLine(TestMeterServer::levelLine(true, m_router, 1, -3, -3));
    ASSERT_TRUE(waitUntil([&] { return control<LedMeter>("pgml")->levelLeft() == -3; }));
    m_meters.sendLine(TestMeterServer::levelLine(false, m_router, 2, -4, -4));
    ASSERT_TRUE(
        waitUntil([&] { return stripMeter(control<MeterFader>("mic"))->levelLeft() == -4; }));
    EXPECT_EQ(meterClient(*m_window).receiver().controlUpdates() - before, 3);
    m_window->close();
}
