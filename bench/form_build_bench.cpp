// How long the client takes from a panel-definition frame to a built panel, for panels of 1,000
// and 10,000 mixed controls (MixedPanel.h). The frame takes the path a delivery takes in the
// program: the main window has started up and is shown, and the frame arrives from its Core
// connection in network-sized pieces, through the protocol parser and dispatcher, to the
// building of the panel and its load command. Targets: 10,000 controls in 1 s, 1,000 in 0.1 s,
// the same time per control at both sizes.
//
// BM_QtFloor builds as many bare widgets the same way: the least Qt itself takes.
//
// Counters: settle_ms is the time after that until the window has handled what the building
// left it to do (laying out, polishing, the first paint); heap_kB_per_control is the growth of
// the memory the program holds, per control, once settled.

#include "MixedPanel.h"
#include "ProgramFolder.h"
#include "app/EventLoopChoice.h"

#include "app/frmCVMini.h"
#include "connection/clsCVCoreConnection.h"
#include "protocol/ClientProtocolConsts.h"
#include "protocol/FrameBuilder.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <memory>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

// What one read from a socket typically hands over.
constexpr qsizetype kArrivalChars = 64 * 1024;

// Memory the program holds on the heap, in kB. Resident memory would not do here: each run
// reuses what the run before freed.
double heapInUseKb() {
#if defined(__GLIBC__)
    return static_cast<double>(mallinfo2().uordblks) / 1024.0;
#else
    return 0;
#endif
}

// Runs the window's pending work until nothing is left: posted events, then its paint.
void settle() {
    for (int round = 0; round < 4; ++round) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

// Times build(window) on a window made afresh by make() for each run, then the settling of
// the window, and the heap it grew by per control.
template <typename Window, typename Make, typename Build>
void timeBuilds(benchmark::State& state, int controls, Make make, Build build) {
    double settleMs = 0;
    double kbPerControl = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<Window> window = make();
        settle();
        const double before = heapInUseKb();
        state.ResumeTiming();

        build(*window);

        state.PauseTiming();
        QElapsedTimer settling;
        settling.start();
        settle();
        settleMs += static_cast<double>(settling.nsecsElapsed()) / 1e6;
        kbPerControl += (heapInUseKb() - before) / controls;
        window.reset();
        settle();
        state.ResumeTiming();
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["controls"] = controls;
    state.counters["settle_ms"] = settleMs / runs;
    state.counters["heap_kB_per_control"] = kbPerControl / runs;
}

void BM_DeliverPanel(benchmark::State& state) {
    const int controls = static_cast<int>(state.range(0));
    const QString frame = corvane::BuildFrame(
        corvane::Command::PanelDefinition, corvane::modClientProtocolConsts::strNoAddress,
        QStringLiteral("Bench") + corvane::modClientProtocolConsts::strFieldSeparator +
            corvane::bench::MixedPanelDefinition(controls));
    corvane::bench::ProgramFolder folder;
    timeBuilds<corvane::frmCVMini>(
        state, controls,
        [] {
            auto window = std::make_unique<corvane::frmCVMini>();
            window->Form_Load({});
            return window;
        },
        [&](corvane::frmCVMini& window) {
            corvane::clsCVCoreConnection* connection = window.MasterSocket();
            for (qsizetype at = 0; at < frame.size(); at += kArrivalChars) {
                emit connection->ReceivedData(frame.mid(at, kArrivalChars));
            }
        });
}
BENCHMARK(BM_DeliverPanel)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

// Qt's own floor for comparison: the same number of bare widgets that each paint a rectangle
// and a text, made and placed on a window that is then shown (showing each on a shown window
// would cost Qt a walk over its siblings apiece), timed and settled as above.
class BareControl : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::lightGray);
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Take"));
    }
};

void BM_QtFloor(benchmark::State& state) {
    const int controls = static_cast<int>(state.range(0));
    timeBuilds<QWidget>(
        state, controls,
        [] {
            auto window = std::make_unique<QWidget>();
            window->resize(1000, 733);
            return window;
        },
        [&](QWidget& window) {
            for (int i = 0; i < controls; ++i) {
                auto* control = new BareControl(&window);
                control->setGeometry((i % 90) * 24 % 1000, (i / 90) % 90 * 24 % 733, 22, 22);
            }
            window.show();
        });
}
BENCHMARK(BM_QtFloor)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    corvane::PreferQtEventLoop(); // as the program does
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion")); // as the program does
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
