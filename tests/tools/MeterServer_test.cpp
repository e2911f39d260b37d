#include "ChannelHints.h"
#include "LevelGenerator.h"
#include "MeterPointPool.h"
#include "MeterSession.h"
#include "ResubscriptionWatch.h"
#include "protocol/ClientProtocolConsts.h"
#include "protocol/FrameBuilder.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

using namespace corvane;
using namespace corvane::demo;

namespace {

struct Statistics {
    int readings = 0;
    int quiet = 0;        // peak below -45 dB: a pause
    int stereo = 0;       // left and right differ
    int peakBelowRms = 0; // never allowed
    int outOfRange = 0;   // never allowed
    int widestStereo = 0; // dB between left and right peaks
    double meanPeak = 0;
    double meanCrest = 0; // peak above RMS, dB
    double meanStep = 0;  // movement of the left peak between readings, dB
};

Statistics listen(LevelGenerator& generator, int seconds, int pollMs) {
    Statistics s;
    int lastPeak = 0;
    for (qint64 t = 0; t < seconds * 1000; t += pollMs) {
        const StereoLevels l = generator.at(t);
        ++s.readings;
        for (int level : {l.peakLeft, l.peakRight, l.rmsLeft, l.rmsRight}) {
            s.outOfRange += level > 0 || level < LevelGenerator::kSilenceDb;
        }
        s.peakBelowRms += l.peakLeft < l.rmsLeft || l.peakRight < l.rmsRight;
        s.quiet += l.peakLeft < -45;
        s.stereo += l.peakLeft != l.peakRight || l.rmsLeft != l.rmsRight;
        s.widestStereo = std::max(s.widestStereo, std::abs(l.peakLeft - l.peakRight));
        s.meanPeak += l.peakLeft;
        s.meanCrest += l.peakLeft - l.rmsLeft;
        if (t > 0) {
            s.meanStep += std::abs(l.peakLeft - lastPeak);
        }
        lastPeak = l.peakLeft;
    }
    s.meanPeak /= s.readings;
    s.meanCrest /= s.readings;
    s.meanStep /= s.readings - 1;
    return s;
}

TEST(LevelGenerator, SpeechAndMusicMoveLikeProgramme) {
    struct Row {
        Programme programme;
        double minQuiet, maxQuiet; // share of readings in a pause
        double minPeak, maxPeak;   // mean left peak, dB
        double minCrest;           // mean peak above RMS
        double minStereo;          // share of readings with a stereo difference
        int maxWidth;
    };
    const Row rows[] = {
        {Programme::Speech, 0.08, 0.45, -30, -8, 6, 0.3, 6},
        {Programme::Music, 0.0, 0.01, -20, -4, 6, 0.6, 8},
    };
    for (const Row& row : rows) {
        for (quint64 seed : {1ull, 42ull, 977ull}) {
            SCOPED_TRACE(testing::Message() << int(row.programme) << " seed " << seed);
            LevelGenerator generator(row.programme, seed);
            const Statistics s = listen(generator, 120, 120);
            EXPECT_EQ(s.outOfRange, 0);
            EXPECT_EQ(s.peakBelowRms, 0);
            EXPECT_GE(s.quiet, row.minQuiet * s.readings);
            EXPECT_LE(s.quiet, row.maxQuiet * s.readings);
            EXPECT_GE(s.meanPeak, row.minPeak);
            EXPECT_LE(s.meanPeak, row.maxPeak);
            EXPECT_GE(s.meanCrest, row.minCrest);
            EXPECT_GE(s.stereo, row.minStereo * s.readings);
            EXPECT_LE(s.widestStereo, row.maxWidth);
            EXPECT_GT(s.meanStep, 1.0) << "levels that do not move look dead";
        }
    }
}

TEST(LevelGenerator, GapsTimeReversalAndChannelStateStayInRange) {
    LevelGenerator generator(Programme::Speech, 5);
    // A point nobody asked about for an hour, then a clock that steps back.
    for (qint64 t : {0ll, 3600000ll, 3600120ll, 100ll, 3600240ll}) {
        const StereoLevels l = generator.at(t);
        EXPECT_LE(l.peakLeft, 0);
        EXPECT_GE(l.rmsRight, LevelGenerator::kSilenceDb);
    }
    const StereoLevels loud{-2, -1, -10, -9};
    const StereoLevels off = LevelGenerator::afterChannel(loud, false, 0);
    EXPECT_EQ(off.peakLeft, LevelGenerator::kSilenceDb);
    EXPECT_EQ(off.rmsRight, LevelGenerator::kSilenceDb);
    const StereoLevels faded = LevelGenerator::afterChannel(loud, true, -20.4);
    EXPECT_EQ(faded.peakLeft, -22);
    EXPECT_EQ(faded.rmsRight, -29);
    const StereoLevels boosted = LevelGenerator::afterChannel(loud, true, 6);
    EXPECT_EQ(boosted.peakLeft, 0);
    EXPECT_EQ(boosted.rmsLeft, -4);
    const StereoLevels silent{-96, -96, -96, -96};
    EXPECT_EQ(LevelGenerator::afterChannel(silent, true, 10).peakLeft, -96);
}

class MeterSessionTest : public ::testing::Test {
protected:
    ChannelHints m_hints;
    MeterPointPool m_pool{m_hints};
};

TEST_F(MeterSessionTest, FollowsPollSubscribeAndUnsubscribeLinesInAnyPieces) {
    const QByteArray input = "SetMeterPoll 250\r\n"
                             "sm SRC 2 11 rtr2-in.studio.lan/11\r\n"
                             "sm DST 1 3 rtr1-out.studio.lan/3\n" // a bare LF ends a line too
                             "sm DST 1 3 again\r\n"               // subscribed once
                             "sm src 5 7 lower\r\n"
                             "um SRC 5 7 x\r\n"
                             "um SRC 9 9 never\r\n"
                             "sm SRC 0 4 x\r\nsm SRC 4 0 x\r\nsm SRC 70000 4 x\r\nsm SRC a 4 x\r\n"
                             "sm BUS 4 4 x\r\nsm SRC 4\r\nMTR SRC 4 4 x\r\n\r\n"
                             "sm SRC 6 6\r\n"; // an address is not needed
    // Every split of the text must give the same result.
    for (qsizetype chunk : {qsizetype(1), qsizetype(2), qsizetype(7), input.size()}) {
        SCOPED_TRACE(chunk);
        MeterSession session(m_pool);
        qsizetype lines = 0;
        for (qsizetype at = 0; at < input.size(); at += chunk) {
            lines += session.receive(input.mid(at, chunk)).size();
        }
        EXPECT_EQ(lines, 16);
        EXPECT_EQ(session.pollMs(), 250);
        EXPECT_EQ(session.subscriptionCount(), 3);
        EXPECT_TRUE(session.isSubscribed({2, 11, false}));
        EXPECT_TRUE(session.isSubscribed({1, 3, true}));
        EXPECT_TRUE(session.isSubscribed({6, 6, false}));
        EXPECT_FALSE(session.isSubscribed({5, 7, false}));

        QList<QByteArray> out = session.levelLines(1000).split('\n');
        ASSERT_EQ(out.size(), 4);
        EXPECT_TRUE(out.takeLast().isEmpty());
        std::sort(out.begin(), out.end());
        EXPECT_TRUE(out[0].startsWith("MTR DST 1 3 again PEEK:")) << out[0].constData();
        EXPECT_TRUE(out[1].startsWith("MTR SRC 2 11 rtr2-in.studio.lan/11 PEEK:"));
        EXPECT_TRUE(out[2].startsWith("MTR SRC 6 6 - PEEK:"));
        for (const QByteArray& line : out) {
            EXPECT_TRUE(line.endsWith('\r'));
            EXPECT_EQ(line.split(' ').size(), 7) << line.constData();
        }
    }
    EXPECT_EQ(m_pool.size(), 0u) << "sessions give their points back";
}

TEST_F(MeterSessionTest, BoundsLinesPollAndSharesPointsBetweenSessions) {
    std::vector<std::pair<DemoPoint, bool>> watched;
    m_pool.setWatchChanged([&](const DemoPoint& point, bool on) {
        watched.push_back({point, on});
    });
    {
        MeterSession a(m_pool);
        MeterSession b(m_pool);
        // A line without an end beyond the bound is dropped; the next line counts again.
        a.receive(QByteArray(MeterSession::kMaxLineBytes + 10, 'x'));
        a.receive("xx\r\nsm SRC 3 3 a\r\nSetMeterPoll 1\r\n");
        EXPECT_EQ(a.subscriptionCount(), 1);
        EXPECT_EQ(a.pollMs(), MeterSession::kMinPollMs);
        a.receive("SetMeterPoll 99999999\r\nSetMeterPoll fast\r\n");
        EXPECT_EQ(a.pollMs(), MeterSession::kMaxPollMs);

        b.receive("sm SRC 3 3 b\r\n");
        EXPECT_EQ(m_pool.listeners({3, 3, false}), 2);
        a.receive("um SRC 3 3 a\r\n");
        EXPECT_EQ(m_pool.listeners({3, 3, false}), 1);
        // The same point reads the same programme for every session.
        m_hints.setOn({3, 3, false}, false);
        EXPECT_EQ(b.levelLines(500), "MTR SRC 3 3 b PEEK:-96:-96 RMS:-96:-96\r\n");
    }
    ASSERT_EQ(watched.size(), 2u);
    EXPECT_TRUE(watched[0].second);
    EXPECT_FALSE(watched[1].second);
}

TEST(ResubscriptionWatch, AServerStartedAgainWaitsForEveryPointListenedToBefore) {
    QTemporaryDir dir;
    const QString path = dir.filePath("points");
    const DemoPoint a{1, 2, false};
    const DemoPoint b{3, 65535, true};
    const DemoPoint c{2, 1, false};
    {
        ResubscriptionWatch first(path);
        EXPECT_EQ(first.start(), 0); // no file: nothing awaited, nothing to report
        EXPECT_FALSE(first.update({a, c}));
        EXPECT_FALSE(first.update({b, a, c}));
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "SRC 1 2\nSRC 2 1\nDST 3 65535\n");

    // Started again: the points come back in pieces; the report comes once, with the last.
    ResubscriptionWatch again(path);
    EXPECT_EQ(again.start(), 3);
    const std::vector<std::pair<QList<DemoPoint>, bool>> steps{
        {{}, false},  {{a}, false},   {{a, c}, false},
        {{c}, false}, {{c, b}, true}, {{a, b, c}, false},
    };
    for (const auto& [listened, done] : steps) {
        EXPECT_EQ(again.update(listened), done);
    }
    EXPECT_EQ(again.rememberedCount(), 3);
    EXPECT_EQ(again.awaitedCount(), 0);

    // Damaged lines are passed over.
    EXPECT_EQ(ResubscriptionWatch::decode("SRC 1 2\nXYZ 1 2\nSRC 0 4\nDST 1\n\nDST 4 5"),
              (QList<DemoPoint>{a, {4, 5, true}}));
}

TEST(ChannelHints, StartAsTheStudioDoesAndFollowTheCoresMessages) {
    ChannelHints hints;
    const DemoPoint eight{2, 8, false};
    const DemoPoint eleven{2, 11, false};
    EXPECT_FALSE(hints.isOn(eight)); // every eighth source starts off
    EXPECT_TRUE(hints.isOn(eleven));
    EXPECT_EQ(hints.gainDb(eleven), -6.0);

    const QString US(QChar(31));
    const QString RS = modClientProtocolConsts::strRecordSeparator;
    const auto piece = [](int command, const QString& block, const QString& payload) {
        return BuildFrame(command, block, payload).chopped(2);
    };
    hints.applyCoreFrame(piece(Command::MeterAddOns, "000200080000", "TFFFF"));
    hints.applyCoreFrame(piece(Command::MeterAddOns, "0002000B0000", "F"));
    hints.applyCoreFrame(piece(Command::LevelData, "000000000000",
                               "0002" + US + "11" + US + "False" + US + "0:0:0:0:-20.5" + RS +
                                   "0002" + US + "8" + US + "False" + US + "0:0:0:0:-1001" + RS +
                                   "0002" + US + "8" + US + "False" + US + "0:0:0:0" + RS +
                                   "junk"));
    hints.applyCoreFrame(piece(Command::MeterAddOns, "000000000000", "F")); // no point
    hints.applyCoreFrame("garbage");
    EXPECT_TRUE(hints.isOn(eight));
    EXPECT_FALSE(hints.isOn(eleven));
    EXPECT_EQ(hints.gainDb(eleven), -20.5);
    EXPECT_EQ(hints.gainDb(eight), 0.0);
}

} // namespace
