// The receive path: bytes from the Core, cut into arrivals of any size, decoded as the
// connection decodes them, then buffered, cut into frames and dispatched to the window's
// operations. Next to it a plain reference buffer re-splits its whole content on every arrival;
// the receive buffer must hand over exactly the same pieces and keep exactly the same tail.

#include "FuzzCheck.h"
#include "panel/PanelPayload.h"
#include "protocol/ClientProtocolConsts.h"
#include "protocol/ClientProtocolParser.h"
#include "protocol/ProtocolHandlers.h"
#include "protocol/ReceiveBuffer.h"
#include "support/ReferenceBuffer.h"

#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <stdexcept>

using namespace corvane;
using corvane::test::ReferenceBuffer;

namespace {

// Window operations that do nothing but check what the dispatcher promises them, and that
// throw now and then (as a failing window operation would) when asked to.
class CheckingHandlers : public ProtocolHandlers {
public:
    CheckingHandlers(bool throwSometimes, uint32_t seed)
        : m_throwSometimes(throwSometimes), m_state(seed | 1u) {}

    void StopMetering() override { maybeThrow(); }
    void AppendPendingMessage(const QString&) override { maybeThrow(); }
    void CheckUPMeterAbilities(qint32 router, qint32 io, bool, const QString&) override {
        checkPoint(router, io);
        maybeThrow();
    }
    void CheckUPMeterAddOns(qint32 router, qint32 io, bool, const QString&) override {
        checkPoint(router, io);
        maybeThrow();
    }
    void CheckUserFormMeters(const QString&) override { maybeThrow(); }
    void ChangePanelProperty(const QString& payload) override {
        FUZZ_CHECK(payload.count(QLatin1Char('.')) >= 2, "a property change names no property");
        maybeThrow();
    }
    void SetConnectingLabelLoading() override { maybeThrow(); }
    void UpdateUserPanel(const QString& payload) override {
        if (const auto parts = SplitPanelPayload(payload)) {
            FUZZ_CHECK(!parts->title.contains(modClientProtocolConsts::strFieldSeparator),
                       "the title holds a field separator");
            FUZZ_CHECK(!parts->definition.contains(modClientProtocolConsts::strFieldSeparator),
                       "the definition holds a field separator");
        }
        maybeThrow();
    }
    QString MasterRemoteHost() override {
        maybeThrow();
        return QStringLiteral("127.0.0.1");
    }
    void MeteringStart(const QString&) override { maybeThrow(); }
    void HideConnecting() override { maybeThrow(); }
    void UpdateAddressLookup(qint32 router, qint32 io, bool, const QString&) override {
        checkPoint(router, io);
        maybeThrow();
    }
    void CheckMeterConnection(qint32 router, qint32 io) override {
        checkPoint(router, io);
        maybeThrow();
    }

private:
    // Four hexadecimal digits: 0 to 65535; an addressed point has an I/O of 1 or more.
    static void checkPoint(qint32 router, qint32 io) {
        FUZZ_CHECK(router >= 0 && router <= 0xFFFF, "router field out of range");
        FUZZ_CHECK(io >= 1 && io <= 0xFFFF, "I/O field out of range");
    }

    void maybeThrow() {
        if (!m_throwSometimes) {
            return;
        }
        m_state = m_state * 1664525u + 1013904223u;
        switch ((m_state >> 24) % 4) {
        case 0:
            throw std::runtime_error("window operation failed");
        case 1:
            throw 42; // not a std::exception: must be stopped all the same
        default:
            break;
        }
    }

    bool m_throwSometimes;
    uint32_t m_state;
};

qsizetype tailBound(unsigned choice) {
    switch (choice % 4) {
    case 0:
        return ReceiveBuffer::kDefaultMaxTail;
    case 1:
        return 1;
    case 2:
        return 16;
    default:
        return 64;
    }
}

} // namespace

// The input is a flags byte, two bytes that choose where the stream is cut into arrivals, then
// the bytes of the stream itself, so that a seed is a readable capture of what a Core sends.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) {
        return 0;
    }
    const uint8_t flags = data[0];
    const bool throwSometimes = (flags & 1) != 0;
    const bool latin1 = (flags & 2) != 0;
    const qsizetype maxTail = tailBound(flags >> 2);
    const uint32_t maxArrival = 1 + (flags >> 4) * 8u;
    uint32_t cuts = (uint32_t(data[1]) << 8 | data[2]) * 2654435761u + 1;
    const char* stream = reinterpret_cast<const char*>(data + 3);
    const size_t streamSize = size - 3;

    CheckingHandlers handlers(throwSometimes, flags * 2654435761u);
    ClientProtocolParser parser(handlers, maxTail);
    ReceiveBuffer buffer(maxTail);
    ReferenceBuffer reference(maxTail);
    // The connection decodes UTF-8 with one decoder for the whole stream, so a character may
    // arrive split over two reads.
    QStringDecoder utf8(QStringDecoder::Utf8);

    size_t at = 0;
    while (at < streamSize) {
        cuts = cuts * 1664525u + 1013904223u;
        const size_t length = std::min<size_t>((cuts >> 8) % (maxArrival + 1), streamSize - at);
        const auto bytes = QByteArrayView(stream + at, static_cast<qsizetype>(length));
        at += length;
        // An empty arrival is legal: a read may decode to no characters yet.
        const QString text = latin1 ? QString::fromLatin1(bytes) : QString(utf8.decode(bytes));

        parser.receive(text);
        const QStringList pieces = buffer.append(text);
        const QStringList expected = reference.append(text);
        FUZZ_CHECK(pieces == expected, "pieces differ from the whole-buffer split");
        FUZZ_CHECK(buffer.buffered() == reference.buffered(), "buffered tail differs");
        FUZZ_CHECK(parser.buffer().buffered() == buffer.buffered(),
                   "the parser's buffer differs from a buffer fed alone");
        FUZZ_CHECK(buffer.buffered().size() <= qMax<qsizetype>(maxTail, 2),
                   "the tail outgrew its bound");
    }
    return 0;
}
