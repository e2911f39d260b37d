#include "app/DeferredShutdown.h"
#include "app/ShutdownSequence.h"
#include "components/LedMeter.h"
#include "components/MeterFader.h"
#include "components/TSClockInterop.h"
#include "panel/ControlArrays.h"
#include "panel/FormBuilder.h"
#include "panel/PanelButton.h"
#include "panel/PanelDefinitionReader.h"
#include "panel/PanelState.h"
#include "protocol/ClientProtocolConsts.h"
#include "protocol/FrameSender.h"
#include "support/TestFrame.h"
#include "support/Wait.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTimer>

#ifdef CORVANE_HAVE_WEBENGINE
#include <QWebEngineView>
#endif

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

using namespace corvane;
using namespace corvane::test;

namespace {

// A panel window built from a definition, and a shut-down whose every outside effect is
// written into one list of steps, in the order they happen.
class ShutdownSequenceTest : public ::testing::Test,
                             public FrameSender,
                             public ShutdownSequence::Steps {
protected:
    void SetUp() override {
        m_window = std::make_unique<QWidget>();
        m_arrays.createTemplates(m_window.get());
        m_window->show();
    }

    void build(const QString& controls) {
        PanelDefinitionReader reader(m_state);
        ASSERT_TRUE(reader.AnalyzeXML("<panel><name>Desk</name><controllist>" + controls +
                                      "</controllist></panel>"));
        FormBuilder(m_state, m_arrays, m_window.get(), nullptr).BuildForm();
    }

    void SendCvpCommand(const QString& frame) override {
        const TestFrame sent{frame.chopped(modClientProtocolConsts::strFrameEnd.size())};
        m_steps << QStringLiteral("frame %1 %2 [%3]")
                       .arg(sent.command())
                       .arg(sent.addressBlock(), sent.payload());
    }

    // Runs the shut-down; the step named failAt throws after it is noted.
    void run(const QString& failAt = {}) {
        m_failAt = failAt;
        ShutdownSequence(m_state, m_arrays, *this, m_window.get(), *this, 100).run();
    }

    void step(const QString& name) {
        m_steps << name;
        if (name == m_failAt) {
            throw std::runtime_error("injected");
        }
    }
    void CloseStartWindows() override { step("windows"); }
    void StopTimers() override { step("timers"); }
    void SaveStartPosition() override { step("save"); }
    void UnsubscribeMeterOnMeterServ(qint32 router, qint32 io, bool isDest) override {
        step(QStringLiteral("unsubscribe %1 %2 %3").arg(router).arg(io).arg(isDest));
    }
    void CloseMasterConnection() override { step("close"); }
    void MeteringStop(bool noReset) override { step(QStringLiteral("stop %1").arg(noReset)); }
    void EndProgram() override { m_steps << "end"; }

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

    std::unique_ptr<QWidget> m_window;
    PanelState m_state;
    ControlArrays m_arrays;
    QStringList m_steps;
    QString m_failAt;
};

} // namespace

TEST_F(ShutdownSequenceTest, UnsubscribesEveryMeterRecordBetweenSavingAndClosing) {
    build(meter("meter", "M1", 3, 10, false) + meter("meter", "M2", 3, 10, false) +
          meter("meterhold", "H1", 2, 5, true) + meter("meterfader", "F1", 1, 12, true) +
          meter("meter", "NoRouter", 0, 4, true) + meter("meterfader", "NoIo", 4, 0, false) +
          "<c><type>button</type><name>Go</name></c><c><type>tsclock</type><name>T</name></c>");
    QWidget other;
    other.show();
    // A timer due during the shut-down shows where events are let run.
    QTimer::singleShot(1, [this] { m_steps << "events"; });

    run();
    EXPECT_EQ(m_steps, QStringList({"windows", "timers", "save", "frame 20 00030000000A []",
                                    "unsubscribe 3 10 1", "frame 20 00030000000A []",
                                    "unsubscribe 3 10 1", "frame 20 000200050000 []",
                                    "unsubscribe 2 5 0", "frame 20 0001000C0000 []",
                                    "unsubscribe 1 12 0", "events", "close", "stop 0", "end"}));
    EXPECT_TRUE(m_state.collControls.isEmpty());
    // Run-time meters, strips and clocks are unloaded, their templates and the buttons stay.
    for (int index : {1, 2}) {
        EXPECT_EQ(m_arrays.TesselLED.at(index), nullptr);
        EXPECT_EQ(m_arrays.TesselMeterFader.at(index), nullptr);
    }
    EXPECT_EQ(m_arrays.TSClockInterop.at(1), nullptr);
    EXPECT_NE(m_arrays.TesselLED.templateElement(), nullptr);
    EXPECT_NE(m_arrays.butCommand.at(1), nullptr);
    // Every other window goes; the main window is left to its own close.
    EXPECT_FALSE(other.isVisible());
    EXPECT_TRUE(m_window->isVisible());
}

TEST_F(ShutdownSequenceTest, AFailureAbandonsTheRestButClosesTheWindowsAndEnds) {
    const QStringList full = {"windows",
                              "timers",
                              "save",
                              "frame 20 00030000000A []",
                              "unsubscribe 3 10 1",
                              "frame 20 000100020000 []",
                              "unsubscribe 1 2 0",
                              "close",
                              "stop 0"};
    for (const QString failAt :
         {"windows", "timers", "save", "unsubscribe 3 10 1", "close", "stop 0"}) {
        SCOPED_TRACE(failAt.toStdString());
        m_steps.clear();
        if (m_state.collControls.isEmpty()) { // released by the run before
            build(meter("meter", "M1", 3, 10, false) + meter("meter", "M2", 1, 2, true));
        }
        QWidget other;
        other.show();
        run(failAt);
        EXPECT_EQ(m_steps, full.mid(0, full.indexOf(failAt) + 1) + QStringList{"end"});
        EXPECT_FALSE(other.isVisible());
    }
}

#ifdef CORVANE_HAVE_WEBENGINE
TEST_F(ShutdownSequenceTest, StopsWebViewsThatAreStillLoading) {
    // A web server that takes the request and never answers keeps the page loading.
    QTcpServer stalled;
    ASSERT_TRUE(stalled.listen(QHostAddress::LocalHost));
    build(QStringLiteral("<c><type>webbrowser</type><name>W</name><weburl>http://127.0.0.1:%1/"
                         "</weburl></c>")
              .arg(stalled.serverPort()));
    auto* view = qobject_cast<QWebEngineView*>(m_arrays.WebControl.at(1));
    ASSERT_NE(view, nullptr);
    QSignalSpy finished(view, &QWebEngineView::loadFinished);
    ASSERT_TRUE(waitUntil([&] { return stalled.hasPendingConnections(); }, 20000));
    pumpEvents(200);
    ASSERT_TRUE(finished.isEmpty());

    run();
    ASSERT_TRUE(waitUntil([&] { return !finished.isEmpty(); }));
    EXPECT_FALSE(finished.first().first().toBool());
}
#endif

TEST(DeferredShutdown, RunsOnceAndNeverInsideAHandler) {
    struct Row {
        const char* what;
        int depth;       // handlers on the stack when the end is asked for
        int requests;    // how often it is asked for
        bool runsAtOnce; // before the request returns
    };
    const QList<Row> rows{
        {"from the event loop", 0, 1, true},
        {"inside a handler", 1, 1, false},
        {"inside a handler nested in a message box's handler", 2, 1, false},
        {"asked for twice", 1, 2, false},
        {"asked for twice from the event loop", 0, 2, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        QObject context;
        QStringList steps;
        DeferredShutdown shutdown(&context, [&] { steps << "shut down"; });
        {
            std::vector<std::unique_ptr<DeferredShutdown::HandlerScope>> handlers;
            for (int i = 0; i < row.depth; ++i) {
                handlers.push_back(std::make_unique<DeferredShutdown::HandlerScope>(shutdown));
            }
            EXPECT_EQ(shutdown.insideHandler(), row.depth > 0);
            for (int i = 0; i < row.requests; ++i) {
                shutdown.request();
            }
            EXPECT_TRUE(shutdown.requested());
            EXPECT_EQ(steps.size(), row.runsAtOnce ? 1 : 0);
            while (!handlers.empty()) {
                handlers.pop_back();
                // Not as the last handler returns either: from the event loop, with no
                // handler of ours on the stack.
                EXPECT_TRUE(steps.isEmpty() || row.runsAtOnce);
            }
        }
        ASSERT_TRUE(waitUntil([&] { return !steps.isEmpty(); }));
        pumpEvents(20);
        EXPECT_EQ(steps, QStringList({"shut down"}));
    }

    // A context that is gone takes a pending end with it.
    bool ran = false;
    auto context = std::make_unique<QObject>();
    DeferredShutdown shutdown(context.get(), [&] { ran = true; });
    {
        const DeferredShutdown::HandlerScope handler(shutdown);
        shutdown.request();
    }
    context.reset();
    pumpEvents(20);
    EXPECT_FALSE(ran);
}
