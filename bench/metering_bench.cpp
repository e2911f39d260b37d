// A wall of LED meters fed as fast as a meter server feeds them, with the event loop running
// and the meters repainting; reports how much of one core the program spends on it.
#include "app/EventLoopChoice.h"
#include "components/LedMeter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGridLayout>
#include <QTimer>
#include <QWindow>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

constexpr int kColumns = 32;
constexpr int kReadingsPerSecond = 50;
constexpr int kRunMs = 4000;
constexpr int kWarmUpMs = 500;

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

class PaintCounter : public QObject {
public:
    long paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return false;
    }
};

void runEventLoop(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void BM_MeterWallCpuShare(benchmark::State& state) {
    const int meterCount = int(state.range(0));
    for (auto _ : state) {
        QWidget wall;
        auto* grid = new QGridLayout(&wall);
        grid->setContentsMargins(2, 2, 2, 2);
        grid->setSpacing(2);
        PaintCounter counter;
        std::vector<corvane::LedMeter*> meters;
        for (int i = 0; i < meterCount; ++i) {
            auto* meter = new corvane::LedMeter;
            meter->setFixedSize(36, 120);
            meter->setMeterScale(i % 3);
            meter->setMeterStyle(i % 2);
            meter->installEventFilter(&counter);
            grid->addWidget(meter, i / kColumns, i % kColumns);
            meters.push_back(meter);
        }
        wall.show();
        QElapsedTimer exposeWait;
        exposeWait.start();
        while (!(wall.windowHandle() && wall.windowHandle()->isExposed()) &&
               exposeWait.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }

        // Each meter follows its own random walk in dB, one reading per channel per period.
        std::mt19937 random(42);
        std::normal_distribution<double> step(0.0, 3.0);
        std::vector<double> levels(2 * meters.size(), -20.0);
        long readings = 0;
        QTimer feeder;
        feeder.setTimerType(Qt::PreciseTimer);
        QObject::connect(&feeder, &QTimer::timeout, [&] {
            for (size_t i = 0; i < meters.size(); ++i) {
                for (int ch = 0; ch < 2; ++ch) {
                    double& level = levels[2 * i + ch];
                    level = std::clamp(level + step(random), -60.0, 0.0);
                }
                meters[i]->SetPeakLevels(qint32(levels[2 * i]), qint32(levels[2 * i + 1]));
            }
            readings += long(meters.size());
        });
        feeder.start(1000 / kReadingsPerSecond);
        runEventLoop(kWarmUpMs);

        counter.paints = 0;
        readings = 0;
        const double cpuBefore = processCpuSeconds();
        QElapsedTimer wallClock;
        wallClock.start();
        runEventLoop(kRunMs);
        const double elapsed = wallClock.nsecsElapsed() / 1e9;
        const double cpu = processCpuSeconds() - cpuBefore;
        feeder.stop();

        state.SetIterationTime(elapsed);
        state.counters["cpu_share"] = cpu / elapsed;
        state.counters["meter_paints_per_s"] = counter.paints / elapsed;
        state.counters["readings_per_s"] = readings / elapsed;
    }
}

BENCHMARK(BM_MeterWallCpuShare)
    ->Arg(512)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    corvane::PreferQtEventLoop(); // as the program does
    QApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
