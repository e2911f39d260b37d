#include "protocol/ReceiveBuffer.h"

#include "support/LogCapture.h"
#include "support/ReferenceBuffer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace corvane;
using namespace corvane::test;
using corvane::test::ReferenceBuffer;

namespace {

// Test texts are written with '[' for STX and ']' for ETX, so "[[" is a frame start and "]]"
// a frame end.
QString wire(const std::string& notation) {
    QString text;
    for (char c : notation) {
        text += c == '[' ? QChar(2) : c == ']' ? QChar(3) : QChar::fromLatin1(c);
    }
    return text;
}

std::string notation(const QString& text) {
    std::string out;
    for (QChar c : text) {
        out += c == QChar(2) ? '[' : c == QChar(3) ? ']' : c.toLatin1();
    }
    return out;
}

std::vector<std::string> notation(const QStringList& pieces) {
    std::vector<std::string> out;
    for (const QString& piece : pieces) {
        out.push_back(notation(piece));
    }
    return out;
}

struct CutCase {
    const char* name;
    std::string arrivals; // '|' marks where the text is split into arrivals
    std::vector<std::vector<std::string>> piecesPerArrival;
    std::string bufferedAfter;
};

void PrintTo(const CutCase& row, std::ostream* out) {
    *out << row.name;
}

class Cutting : public testing::TestWithParam<CutCase> {};

TEST_P(Cutting, GivesThePiecesWhenTheirFrameEndArrives) {
    const CutCase& row = GetParam();
    ReceiveBuffer buffer;
    const QStringList arrivals = wire(row.arrivals).split(QLatin1Char('|'));
    ASSERT_EQ(arrivals.size(), static_cast<qsizetype>(row.piecesPerArrival.size()));
    for (qsizetype i = 0; i < arrivals.size(); ++i) {
        const auto& expected = row.piecesPerArrival[i];
        EXPECT_EQ(notation(buffer.append(arrivals[i])), expected) << "arrival " << i;
    }
    EXPECT_EQ(notation(buffer.buffered()), row.bufferedAfter);
}

INSTANTIATE_TEST_SUITE_P(
    ReceiveBuffer, Cutting,
    testing::Values(CutCase{"TwoFramesInOnePiece",
                            "[[#000000000000P.a.b]][[#000000000000P.c.d]]",
                            {{"[[#000000000000P.a.b", "[[#000000000000P.c.d"}},
                            ""},
                    CutCase{"FrameInThreePieces",
                            "[[+0000|00000000Title|<xml/>]]",
                            {{}, {}, {"[[+000000000000Title<xml/>"}},
                            ""},
                    CutCase{"FrameEndSplitOverTwoPieces",
                            "[[%000000000000x]|][[%000|000000000y]]",
                            {{}, {"[[%000000000000x"}, {"[[%000000000000y"}},
                            ""},
                    CutCase{"TailAfterTheLastFrameEndStaysBuffered",
                            "[[%000000000000x]][[%0000",
                            {{"[[%000000000000x"}},
                            "[[%0000"},
                    CutCase{"SingleTrailingEtxIsKeptWithTheText",
                            "[[\x01"
                            "000000000000no]",
                            {{}},
                            "[[\x01"
                            "000000000000no]"},
                    CutCase{"TwoCharacterBufferWaitsEvenAsAFrameEnd", "]]|abc", {{}, {""}}, "abc"},
                    CutCase{"ShortTextWaits", "[|[", {{}, {}}, "[["},
                    // An odd run of ETX: the cut takes the first two; ending with a frame end then
                    // completes the lone ETX after it as a piece of its own.
                    CutCase{"ThreeEtxInARow", "a]]]|b", {{"a", "]"}, {}}, "b"},
                    CutCase{"FourEtxInARow", "a]]]]", {{"a", ""}}, ""},
                    CutCase{"ThreeEtxThenMore", "a]]]b", {{"a"}}, "]b"},
                    CutCase{"EtxRunSplitOverArrivals", "a]|]]|]b", {{}, {"a", "]"}, {}}, "]b"}),
    [](const testing::TestParamInfo<CutCase>& info) { return std::string(info.param.name); });

TEST(ReceiveBuffer, MatchesTheWholeBufferSplitForRandomTextInRandomPieces) {
    // Texts made mostly of STX and ETX exercise every way a frame end can fall: in runs, at
    // the edges of arrivals, split over two arrivals, right after a wait.
    const QChar alphabet[] = {QChar(3), QChar(3),         QChar(3),        QChar(2),
                              QChar(2), QLatin1Char('a'), QLatin1Char('#')};
    std::mt19937 random(20240611);
    for (int round = 0; round < 3000; ++round) {
        const int length = std::uniform_int_distribution<int>(0, 300)(random);
        QString text;
        for (int i = 0; i < length; ++i) {
            text += alphabet[std::uniform_int_distribution<int>(0, 6)(random)];
        }
        const int maxPiece = round % 3 == 0 ? 3 : 40;
        ReceiveBuffer ours;
        ReferenceBuffer reference;
        qsizetype at = 0;
        while (at < text.size()) {
            const qsizetype size = std::min<qsizetype>(
                std::uniform_int_distribution<int>(1, maxPiece)(random), text.size() - at);
            const QString arrival = text.mid(at, size);
            at += size;
            ASSERT_EQ(notation(ours.append(arrival)), notation(reference.append(arrival)))
                << "round " << round << ", text " << notation(text) << ", up to " << at;
            ASSERT_EQ(notation(ours.buffered()), notation(reference.buffered()))
                << "round " << round << ", text " << notation(text) << ", up to " << at;
        }
    }
}

// Tails dropped so far, as the warnings tell them.
qsizetype dropped(const LogCapture& log) {
    return log.linesContaining("corvane.protocol", "unfinished frame").size();
}

TEST(ReceiveBuffer, DropsAnUnfinishedTailBeyondTheCap) {
    LogCapture log;
    ReceiveBuffer buffer(16);
    EXPECT_TRUE(buffer.append(wire("[[+000000000000")).isEmpty());
    EXPECT_TRUE(buffer.append(wire("0123456789")).isEmpty());
    EXPECT_TRUE(buffer.buffered().isEmpty());
    EXPECT_EQ(dropped(log), 1);

    // The rest of the lost frame ends as a piece without frame start; the next frame is whole.
    EXPECT_EQ(notation(buffer.append(wire("abc]][[%000000000000x]]"))),
              (std::vector<std::string>{"abc", "[[%000000000000x"}));
}

TEST(ReceiveBuffer, TheCapLimitsOnlyWhatStaysBuffered) {
    LogCapture log;
    ReceiveBuffer buffer(16);
    const QString big = wire("[[+000000000000" + std::string(100, 'x') + "]][[%00");
    const QStringList pieces = buffer.append(big);
    ASSERT_EQ(pieces.size(), 1);
    EXPECT_EQ(pieces[0].size(), 115);
    EXPECT_EQ(notation(buffer.buffered()), "[[%00");
    EXPECT_EQ(dropped(log), 0);
}

TEST(ReceiveBuffer, AFrameEndSplitAtTheDropIsStillFound) {
    LogCapture log;
    ReceiveBuffer buffer(8);
    EXPECT_TRUE(buffer.append(wire("[[+000000000000abc]")).isEmpty());
    EXPECT_EQ(dropped(log), 1);
    EXPECT_EQ(notation(buffer.append(wire("][[%000000000000x]]"))),
              (std::vector<std::string>{"", "[[%000000000000x"}));
}

TEST(ReceiveBuffer, StaysWithinTheCapUnderEndlessText) {
    LogCapture log;
    ReceiveBuffer buffer(5000);
    const QString chunk(1460, QLatin1Char('x'));
    for (int i = 0; i < 200; ++i) {
        buffer.append(chunk);
        ASSERT_LE(buffer.buffered().size(), 5000);
    }
    EXPECT_EQ(dropped(log), 50);
}

} // namespace
