// Level lines from the meter server through the client's receive path (line cutting, reading,
// the open point's last-heard time, the route to the panel's controls and the LED meters'
// SetPeakLevels) into panels of 16 and 512 meters that are not shown, so nothing paints. The
// same bytes cut and read without delivery give the cost of reading alone.
//
// BM_LevelLineToPixels is what an operator waits for: a level line written by a meter server
// on loopback, through the meter connection's socket and the shared meter tick, until the
// meter paints it, on a shown panel of 448 LED meters and 64 channel strips that all receive
// levels ten times a second meanwhile. It reports the median and the 99th percentile.
//
// BM_CoreLevelRecords: in core metering mode the Core sends levels and gains itself, as
// command-22 frames of many records; frames of 512 records go from the started main window's
// Core connection through the protocol parser and dispatcher into the same shown wall.
#include "ProgramFolder.h"
#include "app/EventLoopChoice.h"
#include "app/frmCVMini.h"
#include "components/LedMeter.h"
#include "components/MeterFader.h"
#include "connection/clsCVCoreConnection.h"
#include "meters/LevelLineParser.h"
#include "meters/LevelReceiver.h"
#include "meters/MeterLineBuffer.h"
#include "meters/MeterRoutes.h"
#include "meters/OpenMeterList.h"
#include "meters/frmMeterWinsock.h"
#include "panel/ControlArrays.h"
#include "panel/FormBuilder.h"
#include "panel/PanelDefinitionReader.h"
#include "panel/PanelState.h"
#include "protocol/ClientProtocolConsts.h"
#include "protocol/FrameBuilder.h"
#include "protocol/FrameSender.h"
#include "support/AddressLookup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <algorithm>
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

class NoCore : public FrameSender {
public:
    void SendCvpCommand(const QString&) override {}
};

// Notes when the watched meter paints.
class PaintWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted = true;
        }
        return false;
    }
};

constexpr int kWallMeters = 448;
constexpr int kWallStrips = 64;

// The load-test panel's layout: rows of narrow meters, then two rows of strips, each control
// on a destination point of its own.
QString levelWallDefinition() {
    QString xml = QStringLiteral("<panel><name>Wall</name><controllist>");
    for (int i = 0; i < kWallMeters + kWallStrips; ++i) {
        const bool strip = i >= kWallMeters;
        const int n = strip ? i - kWallMeters : i;
        const int left = 90 + (n % 32) * (strip ? 705 : 330);
        const int top = strip ? 90 + 14 * 810 + (n / 32) * 3060 : 90 + (n / 32) * 810;
        xml += QStringLiteral("<c><type>%1</type><name>P%2</name>"
                              "<meterrouternumber>1</meterrouternumber>"
                              "<meterionumber>%3</meterionumber><left>%4</left><top>%5</top>"
                              "<width>%6</width><height>%7</height></c>")
                   .arg(strip ? "meterfader" : "meter")
                   .arg(i)
                   .arg(i + 1)
                   .arg(left)
                   .arg(top)
                   .arg(strip ? 675 : 300)
                   .arg(strip ? 3000 : 750);
    }
    return xml + QStringLiteral("</controllist></panel>");
}

QByteArray wallLine(int io, int level) {
    return "MTR DST 1 " + QByteArray::number(io) + " x PEEK:" + QByteArray::number(level) + ':' +
           QByteArray::number(level) + "\r\n";
}

void BM_LevelLineToPixels(benchmark::State& state) {
    QWidget window;
    ControlArrays arrays;
    PanelState panel;
    MeterRoutes routes{panel};
    NoCore core;
    AddressLookup addresses;
    arrays.createTemplates(&window);
    PanelDefinitionReader(panel).AnalyzeXML(levelWallDefinition());
    FormBuilder(panel, arrays, &window, {}).BuildForm();
    window.resize(1600, 1300);
    window.show();
    std::vector<QWidget*> meterWidgets;
    for (int i = 1; i < arrays.TesselLED.count(); ++i) {
        meterWidgets.push_back(arrays.TesselLED.at(i));
    }
    for (int i = 1; i < arrays.TesselMeterFader.count(); ++i) {
        meterWidgets.push_back(arrays.TesselMeterFader.at(i)->findChild<LedMeter*>());
    }
    for (QWidget* meter : meterWidgets) {
        meter->setVisible(true);
    }
    if (meterWidgets.size() != size_t(kWallMeters + kWallStrips)) {
        state.SkipWithError("the panel was not built");
        return;
    }

    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    frmMeterWinsock meters(
        core, routes, [] { return std::vector<MeterPoint>(); }, addresses);
    meters.MeteringStart(QStringLiteral("127.0.0.1"), server.serverPort());
    QElapsedTimer wait;
    wait.start();
    while (!server.hasPendingConnections() && wait.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    QTcpSocket* peer = server.nextPendingConnection();
    if (peer == nullptr) {
        state.SkipWithError("the meter connection was not made");
        return;
    }
    peer->setSocketOption(QAbstractSocket::LowDelayOption, 1);

    // Every point moves ten times a second, quietly, as a studio's levels do.
    int round = 0;
    QTimer background;
    QObject::connect(&background, &QTimer::timeout, [&] {
        QByteArray lines;
        for (int io = 1; io <= kWallMeters + kWallStrips; ++io) {
            lines += wallLine(io, -30 - (io + round) % 11);
        }
        ++round;
        peer->write(lines);
    });
    background.start(100);

    std::vector<double> latenciesMs;
    PaintWatch watch;
    size_t next = 0;
    QElapsedTimer clock;
    for (auto _ : state) {
        // Each meter in turn, loud: a rise is drawn at once, so its first paint shows it.
        QWidget* target = meterWidgets[next];
        const int io = int(next) + 1;
        next = (next + 1) % meterWidgets.size();
        target->installEventFilter(&watch);
        watch.painted = false;
        clock.start();
        peer->write(wallLine(io, -2));
        while (!watch.painted && clock.elapsed() < 2000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        }
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        target->removeEventFilter(&watch);
        if (!watch.painted) {
            state.SkipWithError("a level line was never painted");
            break;
        }
        latenciesMs.push_back(ms);
        state.SetIterationTime(ms / 1000.0);
        // Not in step with the tick: the next line comes at another point of its period.
        const qint64 pauseMs = 7 + qint64(next * 13 % 29);
        QElapsedTimer pause;
        pause.start();
        while (pause.elapsed() < pauseMs) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        }
    }
    background.stop();
    if (!latenciesMs.empty()) {
        std::sort(latenciesMs.begin(), latenciesMs.end());
        const auto at = [&](double share) {
            return latenciesMs[std::min(latenciesMs.size() - 1,
                                        size_t(share * double(latenciesMs.size())))];
        };
        state.counters["median_ms"] = at(0.5);
        state.counters["p99_ms"] = at(0.99);
        state.counters["max_ms"] = latenciesMs.back();
    }
}

void BM_CoreLevelRecords(benchmark::State& state) {
    using namespace corvane;
    constexpr int kPoints = kWallMeters + kWallStrips;
    bench::ProgramFolder folder;
    frmCVMini window;
    window.Form_Load({QStringLiteral("-m")});
    clsCVCoreConnection* connection = window.MasterSocket();
    const QString field = modClientProtocolConsts::strFieldSeparator;
    emit connection->ReceivedData(BuildFrame(Command::PanelDefinition,
                                             modClientProtocolConsts::strNoAddress,
                                             "Wall" + field + levelWallDefinition()));
    window.resize(1600, 1300);
    for (int round = 0; round < 4; ++round) {
        QCoreApplication::processEvents();
    }
    if (window.controlArrays().TesselMeterFader.count() != kWallStrips + 1) {
        state.SkipWithError("the panel was not built");
        return;
    }
    // Frames of a record for every point, levels and gains moving from one frame to the next.
    std::vector<QString> frames;
    for (int f = 0; f < 8; ++f) {
        QStringList records;
        for (int io = 1; io <= kPoints; ++io) {
            const auto hex = [](int level) {
                return QString::number(level & 0xFFFF, 16).toUpper();
            };
            const int level = -10 - (io + f) % 40;
            records << "0001" + field + QString::number(io) + field + "True" + field + hex(level) +
                           ':' + hex(level - 1) + ':' + hex(level - 8) + ':' + hex(level - 9) +
                           ':' + QString::number(-6.5 - f);
        }
        frames.push_back(BuildFrame(Command::LevelData, modClientProtocolConsts::strNoAddress,
                                    records.join(modClientProtocolConsts::strRecordSeparator)));
    }
    size_t next = 0;
    for (auto _ : state) {
        emit connection->ReceivedData(frames[next]);
        next = (next + 1) % frames.size();
    }
    const auto* strip = window.controlArrays().TesselMeterFader.at(1);
    if (strip == nullptr || !strip->FaderActive()) {
        state.SkipWithError("the gains did not reach the strips");
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}

BENCHMARK(BM_CoreLevelRecords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LevelLineToPixels)->UseManualTime()->Iterations(1000)->Unit(benchmark::kMillisecond);
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
    corvane::PreferQtEventLoop(); // as the program does
    QApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
