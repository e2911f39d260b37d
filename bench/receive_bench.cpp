// Receiving a large panel definition: the Core's text arrives in TCP-sized pieces, and each
// piece must cost time in proportion to its own length, not to what is already buffered.

#include "protocol/ClientDispatcher.h"
#include "protocol/ClientProtocolConsts.h"
#include "protocol/ClientProtocolParser.h"
#include "protocol/FrameBuilder.h"
#include "protocol/ProtocolHandlers.h"

#include <QString>
#include <QStringList>

#include <benchmark/benchmark.h>

using namespace corvane;

namespace {

constexpr qsizetype kPieceSize = 1460; // one Ethernet segment of payload
constexpr qsizetype kMiB = 1024 * 1024;

class IgnoringHandlers : public ProtocolHandlers {
public:
    qsizetype panelChars = 0;

    void StopMetering() override {}
    void AppendPendingMessage(const QString&) override {}
    void CheckUPMeterAbilities(qint32, qint32, bool, const QString&) override {}
    void CheckUPMeterAddOns(qint32, qint32, bool, const QString&) override {}
    void CheckUserFormMeters(const QString&) override {}
    void ChangePanelProperty(const QString&) override {}
    void SetConnectingLabelLoading() override {}
    void UpdateUserPanel(const QString& payload) override { panelChars += payload.size(); }
    QString MasterRemoteHost() override { return QStringLiteral("127.0.0.1"); }
    void MeteringStart(const QString&) override {}
    void HideConnecting() override {}
    void UpdateAddressLookup(qint32, qint32, bool, const QString&) override {}
    void CheckMeterConnection(qint32, qint32) override {}
};

// A command-43 frame: the panel's title, the field separator, then a definition of buttons,
// labels and meters, of about the requested length.
QString PanelDefinitionFrame(qsizetype approxChars) {
    QString xml = QStringLiteral("<?xml version=\"1.0\"?>\n<panel name=\"Studio1\" "
                                 "width=\"14400\" "
                                 "height=\"9600\" backcolor=\"&H8000000F\">\n");
    xml.reserve(approxChars + 512);
    for (int i = 0; xml.size() < approxChars; ++i) {
        switch (i % 3) {
        case 0:
            xml += QStringLiteral("  <control type=\"button\" name=\"butMic%1\" left=\"%2\" "
                                  "top=\"%3\" width=\"1200\" height=\"480\" caption=\"Mic %1\" "
                                  "mousedown=\"ROUTE MIC%1 PGM\" oncolor=\"&H0000FF00\"/>\n")
                       .arg(i)
                       .arg((i % 12) * 1200)
                       .arg((i / 12 % 20) * 480);
            break;
        case 1:
            xml += QStringLiteral("  <control type=\"label\" name=\"lblBox%1\" left=\"%2\" "
                                  "top=\"%3\" width=\"1200\" height=\"240\" caption=\"Ch %1\" "
                                  "fontsize=\"8.25\" alignment=\"2\"/>\n")
                       .arg(i)
                       .arg((i % 12) * 1200)
                       .arg((i / 12 % 20) * 480 + 240);
            break;
        default:
            xml += QStringLiteral("  <control type=\"meter\" name=\"mtr%1\" router=\"%2\" "
                                  "io=\"%3\" source=\"True\" left=\"%4\" top=\"0\" "
                                  "width=\"240\" height=\"2400\" decayrate=\"12\"/>\n")
                       .arg(i)
                       .arg(i % 8 + 1)
                       .arg(i % 512 + 1)
                       .arg((i % 60) * 240);
            break;
        }
    }
    xml += QStringLiteral("</panel>\n");
    return BuildFrame(Command::PanelDefinition, modClientProtocolConsts::strNoAddress,
                      QStringLiteral("Studio 1") + modClientProtocolConsts::strFieldSeparator +
                          xml);
}

// The buffer handled the way it was first written: every arrival splits the whole buffer.
class ResplittingParser {
public:
    explicit ResplittingParser(ProtocolHandlers& handlers) : m_dispatcher(handlers) {}

    void receive(QStringView newData) {
        m_buffer += newData;
        if (m_buffer.size() <= 2) {
            return;
        }
        QStringList pieces = m_buffer.split(modClientProtocolConsts::strFrameEnd);
        if (m_buffer.endsWith(modClientProtocolConsts::strFrameEnd)) {
            m_buffer.clear();
        } else {
            m_buffer = pieces.takeLast();
        }
        for (const QString& piece : pieces) {
            m_dispatcher.dispatch(piece);
        }
    }

private:
    QString m_buffer;
    ClientDispatcher m_dispatcher;
};

// The floor: only gathering the pieces into one text, no cutting and no dispatch.
class GatherOnly {
public:
    explicit GatherOnly(IgnoringHandlers& handlers) : m_handlers(handlers) {}
    ~GatherOnly() { m_handlers.panelChars += m_buffer.size(); }
    void receive(QStringView newData) { m_buffer += newData; }

private:
    IgnoringHandlers& m_handlers;
    QString m_buffer;
};

template <typename Parser> void FeedInPieces(benchmark::State& state) {
    const QString frame = PanelDefinitionFrame(state.range(0) * kMiB);
    IgnoringHandlers handlers;
    for (auto _ : state) {
        Parser parser(handlers);
        for (qsizetype at = 0; at < frame.size(); at += kPieceSize) {
            parser.receive(QStringView(frame).sliced(at, std::min(kPieceSize, frame.size() - at)));
        }
    }
    if (handlers.panelChars == 0) {
        state.SkipWithError("the panel definition was never dispatched");
    }
    // One character of this text is one byte on the wire.
    state.SetBytesProcessed(state.iterations() * frame.size());
    state.counters["ns_per_char"] =
        benchmark::Counter(static_cast<double>(state.iterations() * frame.size()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Receive_Incremental(benchmark::State& state) {
    FeedInPieces<ClientProtocolParser>(state);
}
void BM_Receive_GatherOnly(benchmark::State& state) {
    FeedInPieces<GatherOnly>(state);
}
void BM_Receive_ResplitWholeBuffer(benchmark::State& state) {
    FeedInPieces<ResplittingParser>(state);
}

BENCHMARK(BM_Receive_Incremental)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Arg(8)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Receive_GatherOnly)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Arg(8)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond);
// Quadratic: only the small sizes, enough to show how it grows.
BENCHMARK(BM_Receive_ResplitWholeBuffer)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
