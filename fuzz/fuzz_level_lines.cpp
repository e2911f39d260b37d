// Bytes from a meter server: one byte that chooses the arrival sizes, then the stream. The
// stream is cut into arrivals and fed to the meter connection's line buffer. A plain reference
// that re-splits its whole text at CR LF on every arrival must give exactly the same lines and
// keep the same unfinished line, which never exceeds its bound. Every line is read by
// ParseLevelLine, whose numbers must be those of the general number rules.

#include "FuzzCheck.h"
#include "ReferenceLines.h"
#include "meters/LevelLineParser.h"
#include "meters/MeterLineBuffer.h"
#include "support/NumberRules.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>

using namespace corvane;

namespace {

// A number token as the general rules read it into 16 bits.
std::optional<qint16> generalNumber(QByteArrayView token) {
    const auto number = ReadsAsNumber(QString::fromLatin1(token.data(), token.size()));
    if (!number) {
        return std::nullopt;
    }
    try {
        return ToInt16(*number);
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

void checkLine(QByteArrayView line) {
    const auto reading = ParseLevelLine(line);
    const QList<QByteArray> tokens = line.toByteArray().split(' ');
    if (!reading) {
        return;
    }
    FUZZ_CHECK(line.startsWith("MTR ") && tokens.size() >= 6, "not a level line");
    FUZZ_CHECK(generalNumber(tokens[2]) == reading->Router, "router");
    FUZZ_CHECK(generalNumber(tokens[3]) == reading->IO, "I/O");
    FUZZ_CHECK(reading->ISDest == (tokens[1] == "DST"), "point kind");
    FUZZ_CHECK(QByteArrayView(reading->Path.data(), reading->Path.size()) == tokens[4], "path");
    // Levels only from a pair of exactly its form: anything else must not show as 0 dB.
    const QList<QByteArray> peaks = tokens[5].split(':');
    FUZZ_CHECK(reading->hasPeaks == (peaks.size() == 3 && peaks[0] == "PEEK" &&
                                     generalNumber(peaks[1]) && generalNumber(peaks[2])),
               "peaks read from a token that is not a pair");
    FUZZ_CHECK(reading->hasPeaks || (reading->PeekL == 0 && reading->PeekR == 0), "peaks");
    FUZZ_CHECK(!(reading->hasRms && reading->rmsUnreadable), "RMS both read and not");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const int pieceSize = 1 + data[0] % 64;
    const QByteArrayView stream(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));

    MeterLineBuffer buffer;
    fuzz::ReferenceLines reference;
    for (qsizetype at = 0; at < stream.size(); at += pieceSize) {
        const QByteArrayView arrival =
            stream.sliced(at, std::min<qsizetype>(pieceSize, stream.size() - at));
        QList<QByteArray> lines;
        buffer.append(arrival, [&lines](QByteArrayView line) {
            lines.append(line.toByteArray());
            checkLine(line);
        });
        FUZZ_CHECK(lines == reference.append(arrival), "lines differ from a plain split");
        FUZZ_CHECK(buffer.buffered() == reference.tail(), "unfinished line differs");
        FUZZ_CHECK(buffer.buffered().size() <= MeterLineBuffer::kMaxUnfinishedLine, "bound");
        FUZZ_CHECK(buffer.droppedLines() == reference.dropped(), "dropped lines");
    }
    return 0;
}
