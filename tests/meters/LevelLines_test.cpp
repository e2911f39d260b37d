#include "meters/LevelLineParser.h"
#include "meters/MeterLineBuffer.h"
#include "meters/MeterServerLines.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace corvane;

namespace {

// A reading as the tests write it: key, then peaks and RMS, "none" for a pair that is not
// there and "unread" for an RMS token that could not be read.
std::string describe(const std::optional<clsMeterData>& reading) {
    if (!reading) {
        return "ignored";
    }
    const auto pair = [](qint16 left, qint16 right) {
        return std::to_string(left) + "/" + std::to_string(right);
    };
    const std::string peaks = reading->hasPeaks ? pair(reading->PeekL, reading->PeekR)
                                                : (reading->PeekL || reading->PeekR ? "?" : "none");
    const std::string rms = reading->hasRms          ? pair(reading->RmsL, reading->RmsR)
                            : reading->rmsUnreadable ? "unread"
                                                     : "none";
    return reading->point().key().toStdString() + " " + peaks + " " + rms;
}

struct LineCase {
    const char* line;
    const char* reading;
};

void PrintTo(const LineCase& row, std::ostream* out) {
    *out << '"' << row.line << '"';
}

class LevelLine : public testing::TestWithParam<LineCase> {};

TEST_P(LevelLine, ReadsAsExpected) {
    EXPECT_EQ(describe(ParseLevelLine(GetParam().line)), GetParam().reading);
}

INSTANTIATE_TEST_SUITE_P(
    Parser, LevelLine,
    testing::Values(
        LineCase{"MTR DST 5 12 x PEEK:-20:-18 RMS:-30:-29", "5_12_True -20/-18 -30/-29"},
        LineCase{"MTR SRC 7 3 x PEEK:10:11", "7_3_False 10/11 none"},
        // A line whose peaks cannot be read still counts as heard, but shows no peaks: read
        // as 0 they would be full scale. An RMS token that cannot be read is told apart from
        // none at all.
        LineCase{"MTR SRC 7 3 x RMS:1:2", "7_3_False none none"},
        LineCase{"MTR SRC 7 3 x peek:1:2 RMS:3:4", "7_3_False none 3/4"},
        LineCase{"MTR SRC 7 3 x PEEK:1:2:3 RMS:3", "7_3_False none unread"},
        LineCase{"MTR SRC 7 3 x PEEK:a:2", "7_3_False none none"},
        LineCase{"MTR SRC 7 3 x PEEK:-5:-6 RMS:x:y", "7_3_False -5/-6 unread"},
        LineCase{"MTR SRC 7 3 x PEEK:1:2 RMS:3:4 more tokens", "7_3_False 1/2 3/4"},
        // Anything but DST is a source; numbers as the platform reads them.
        LineCase{"MTR XYZ 7 3 x PEEK:1:2", "7_3_False 1/2 none"},
        LineCase{"MTR SRC 007 +3 x PEEK:-0:2", "7_3_False 0/2 none"},
        LineCase{"MTR SRC 2.5 3.5 x PEEK:1.5:1e1", "2_4_False 2/10 none"},
        LineCase{"MTR DST &H10 -7 x PEEK:1:2", "16_-7_True 1/2 none"},
        LineCase{"MTR SRC 32767 -32768 x PEEK:32767:-32768",
                 "32767_-32768_False 32767/-32768 none"},
        // Not level lines, or not readable ones.
        LineCase{"MTR SRC 7 3 x", "ignored"}, LineCase{"mtr SRC 7 3 x PEEK:1:2", "ignored"},
        LineCase{"MTR ", "ignored"}, LineCase{"MTRX SRC 7 3 x PEEK:1:2", "ignored"},
        LineCase{"MTR  SRC 7 3 x PEEK:1:2", "ignored"}, // two spaces make an empty token
        LineCase{"MTR SRC seven 3 x PEEK:1:2", "ignored"},
        LineCase{"MTR SRC 40000 3 x PEEK:1:2", "ignored"},
        LineCase{"MTR SRC 7 3 x PEEK:1:99999", "ignored"},
        LineCase{"MTR SRC 7 3 x PEEK:1:2 RMS:-40000:1", "ignored"},
        LineCase{"SetMeterPoll 120", "ignored"}));

TEST(MeterServerLines, SubscriptionLinesAndPoll) {
    EXPECT_EQ(SubscriptionLine(false, {3, 12, true}, "10.0.0.9/4"), "sm DST 3 12 10.0.0.9/4\r\n");
    EXPECT_EQ(SubscriptionLine(true, {3, 12, true}, "10.0.0.9/4"), "um DST 3 12 10.0.0.9/4\r\n");
    EXPECT_EQ(SubscriptionLine(false, {1, 2, false}, "a b"), "sm SRC 1 2 a b\r\n");
    // An address can never split the request into two lines.
    EXPECT_EQ(SubscriptionLine(false, {1, 2, false}, "a\r\num SRC 9 9 x"),
              "sm SRC 1 2 aum SRC 9 9 x\r\n");
    EXPECT_EQ(PollLine(120), "SetMeterPoll 120\r\n");
}

// The stream of a busy meter server: level lines, a line too big for 16 bits, garbage and
// an empty line.
const QByteArray kStream = "MTR SRC 1 1 x PEEK:-1:-2\r\n"
                           "MTR SRC 99999 1 x PEEK:0:0\r\n"
                           "\r\n"
                           "garbage \r in a line\r\n"
                           "MTR DST 2 3 x PEEK:-5:-6 RMS:-9:-9\r\n"
                           "MTR SRC 1 1 x PEEK:-3:-4\r\n";

// The lines as it is simplest to state: the whole stream split at every CR LF.
std::vector<QByteArray> referenceLines(QByteArray text) {
    std::vector<QByteArray> lines;
    qsizetype end = 0;
    while ((end = text.indexOf("\r\n")) >= 0) {
        lines.push_back(text.left(end));
        text.remove(0, end + 2);
    }
    return lines;
}

// Whatever the arrivals, the lines come out whole, once, in order.
TEST(MeterLineBuffer, CutsTheSameLinesWhereverTheArrivalsSplit) {
    const std::vector<QByteArray> expected = referenceLines(kStream);
    ASSERT_EQ(expected.size(), 6u);
    for (qsizetype first = 0; first <= kStream.size(); ++first) {
        for (qsizetype second = first; second <= kStream.size(); second += 7) {
            MeterLineBuffer buffer;
            std::vector<QByteArray> lines;
            auto collect = [&lines](QByteArrayView line) { lines.push_back(line.toByteArray()); };
            buffer.append(QByteArrayView(kStream).first(first), collect);
            buffer.append(QByteArrayView(kStream).sliced(first, second - first), collect);
            buffer.append(QByteArrayView(kStream).sliced(second), collect);
            ASSERT_EQ(lines, expected) << "split at " << first << " and " << second;
            EXPECT_TRUE(buffer.buffered().isEmpty());
        }
    }
}

TEST(MeterLineBuffer, BoundsOnlyTheUnfinishedLine) {
    MeterLineBuffer buffer;
    std::vector<QByteArray> lines;
    auto collect = [&lines](QByteArrayView line) { lines.push_back(line.toByteArray()); };

    // One arrival far beyond the bound, all of it complete lines: nothing is lost.
    QByteArray busy;
    for (int i = 0; i < 2000; ++i) {
        busy += "MTR SRC 1 " + QByteArray::number(i) + " x PEEK:-1:-1\r\n";
    }
    ASSERT_GT(busy.size(), 5 * MeterLineBuffer::kMaxUnfinishedLine);
    buffer.append(busy, collect);
    EXPECT_EQ(lines.size(), 2000u);
    EXPECT_EQ(buffer.droppedLines(), 0);

    // A line that never ends is dropped once it passes the bound; a CR at the cut is kept, so
    // the line end that follows ends nothing but an empty line.
    lines.clear();
    buffer.append(QByteArray(MeterLineBuffer::kMaxUnfinishedLine, 'x'), collect);
    EXPECT_EQ(buffer.buffered().size(), MeterLineBuffer::kMaxUnfinishedLine);
    buffer.append("yy\r", collect);
    EXPECT_EQ(buffer.droppedLines(), 1);
    EXPECT_EQ(buffer.buffered(), "\r");
    buffer.append("\nMTR SRC 1 1 x PEEK:0:0\r\n", collect);
    EXPECT_EQ(lines, (std::vector<QByteArray>{"", "MTR SRC 1 1 x PEEK:0:0"}));
}

} // namespace
