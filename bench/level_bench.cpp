// Level lines from the meter server through the client's receive path (line cutting, reading,
// the open point's last-heard time, the route to the panel's controls and the LED meters'
// SetPeakLevels) into panels of 16 and 512 meters that are not shown, so nothing paints. The
// same bytes cut and read without delivery give the cost of reading alone.
#include "meters/LevelLineParser.h"
#include "meters/LevelReceiver.h"
#include "meters/MeterLineBuffer.h"
#include "meters/MeterRoutes.h"
#include "meters/OpenMeterList.h"
#include "panel/ControlArrays.h"
#include "panel/FormBuilder.h"
#include "panel/PanelDefinitionReader.h"
#include "panel/PanelState.h"

#include <QApplication>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

using namespace corvane;

constexpr int kLinesPerRound = 64 * 1024;
constexpr qsizetype kArrivalBytes = 16 * 1024; // what one read of the socket typically holds

// A panel of meters, each on a destination point of its own on router 1.
struct MeterWall {
    QWidget window;
    ControlArrays arrays;
    PanelState panel;
    MeterRoutes routes{panel};
    OpenMeterList openMeters;

    explicit MeterWall(int meters) {
        arrays.createTemplates(&window);
        QString xml = QStringLiteral("<panel><controllist>");
        for (int i = 1; i <= meters; ++i) {
            xml += QStringLiteral("<c><type>meter</type><name>M%1</name>"
                                  "<meterrouternumber>1</meterrouternumber>"
                                  "<meterionumber>%1</meterionumber></c>")
                       .arg(i);
            clsOpenMeter open;
            open.intRouter = 1;
            open.intIO = qint16(i);
            open.boolIsDest = true;
            openMeters.add(open);
        }
        xml += QStringLiteral("</controllist></panel>");
        PanelDefinitionReader(panel).AnalyzeXML(xml);
        FormBuilder(panel, arrays, &window, {}).BuildForm();
    }
};

// Lines for every meter in turn, with levels that move so that no reading is skipped as
// unchanged.
QByteArray levelStream(int meters) {
    QByteArray stream;
    for (int i = 0; i < kLinesPerRound; ++i) {
        const int io = 1 + i % meters;
        const int level = -(i % 47);
        stream += "MTR DST 1 " + QByteArray::number(io) + " 10.0.0.1/" + QByteArray::number(io) +
                  " PEEK:" + QByteArray::number(level) + ':' + QByteArray::number(level - 2) +
                  " RMS:" + QByteArray::number(level - 9) + ':' + QByteArray::number(level - 11) +
                  "\r\n";
    }
    return stream;
}

template <typename Feed> void feedInArrivals(const QByteArray& stream, Feed&& feed) {
    for (qsizetype at = 0; at < stream.size(); at += kArrivalBytes) {
        feed(QByteArrayView(stream).sliced(at, std::min(kArrivalBytes, stream.size() - at)));
    }
}

void BM_LevelLinesIntoMeters(benchmark::State& state) {
    const int meters = int(state.range(0));
    MeterWall wall(meters);
    LevelReceiver receiver(wall.routes, wall.openMeters, [] { return qint64(0); });
    const QByteArray stream = levelStream(meters);
    for (auto _ : state) {
        feedInArrivals(stream, [&](QByteArrayView arrival) { receiver.receive(arrival); });
    }
    if (receiver.controlUpdates() != receiver.readingsDelivered()) {
        state.SkipWithError("a line did not reach its meter");
    }
    state.SetItemsProcessed(state.iterations() * kLinesPerRound);
    state.SetBytesProcessed(state.iterations() * stream.size());
}

void BM_LevelLinesReadOnly(benchmark::State& state) {
    const QByteArray stream = levelStream(512);
    MeterLineBuffer buffer;
    qint64 levels = 0;
    for (auto _ : state) {
        feedInArrivals(stream, [&](QByteArrayView arrival) {
            buffer.append(arrival, [&](QByteArrayView line) {
                if (const auto reading = ParseLevelLine(line)) {
                    levels += reading->PeekL;
                }
            });
        });
    }
    benchmark::DoNotOptimize(levels);
    state.SetItemsProcessed(state.iterations() * kLinesPerRound);
    state.SetBytesProcessed(state.iterations() * stream.size());
}

BENCHMARK(BM_LevelLinesIntoMeters)->Arg(16)->Arg(512)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LevelLinesReadOnly)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    QApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
