#include "LevelGenerator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace corvane::demo {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
// After a long gap (nobody asked for a while) the programme simply goes on from here.
constexpr double kLongestStepSeconds = 5.0;

int wholeDb(double db) {
    return int(std::lround(std::clamp(db, double(LevelGenerator::kSilenceDb), 0.0)));
}

} // namespace

LevelGenerator::LevelGenerator(Programme programme, quint64 seed)
    : m_programme(programme), m_random(seed ^ 0x9E3779B97F4A7C15ull) {
    m_loudness = between(-4.0, 3.0);
    m_rate = programme == Programme::Speech ? between(3.5, 5.5) : between(1.7, 2.4);
    for (double& phase : m_phase) {
        phase = between(0, kTwoPi);
    }
    m_period[0] = between(14, 26);
    m_period[1] = between(4, 7);
    m_period[2] = between(6, 11);
    m_width = programme == Programme::Speech ? between(0.3, 1.0) : between(1.5, 3.5);
    m_segmentEnd = between(0.5, 2.5);
}

double LevelGenerator::uniform() {
    // splitmix64: small state, good enough spread for levels
    quint64 z = (m_random += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return double(z >> 11) * (1.0 / 9007199254740992.0);
}

StereoLevels LevelGenerator::at(qint64 nowMs) {
    double step = 0;
    if (m_lastMs >= 0 && nowMs > m_lastMs) {
        step = std::min(double(nowMs - m_lastMs) / 1000.0, kLongestStepSeconds);
    }
    if (nowMs > m_lastMs) {
        m_lastMs = nowMs;
    }
    m_seconds += step;
    if (m_programme == Programme::Speech) {
        advanceSpeech(m_seconds);
        return speechAt(m_seconds);
    }
    return musicAt(m_seconds);
}

void LevelGenerator::advanceSpeech(double t) {
    // Steps are at most a few seconds and every segment lasts a tenth of a second or more, so
    // this loop runs a bounded number of times.
    while (t >= m_segmentEnd) {
        m_talking = !m_talking;
        double length = 0;
        if (m_talking) {
            length = between(0.6, 3.5);
        } else {
            // Mostly the breath between phrases, sometimes a real pause.
            length = uniform() < 0.15 ? between(1.2, 3.5) : between(0.12, 0.6);
        }
        m_segmentEnd += length;
    }
}

StereoLevels LevelGenerator::speechAt(double t) {
    double rms = 0;
    double crest = 0;
    if (m_talking) {
        const double syllable = std::max(0.0, std::sin(kTwoPi * m_rate * t + m_phase[0]));
        const double phrase = 2.0 * std::sin(kTwoPi * t / m_period[1] + m_phase[1]);
        rms = -27.0 + m_loudness + phrase + 11.0 * std::sqrt(syllable) + between(-2, 2);
        crest = between(9, 14);
    } else {
        rms = -60.0 + between(-2, 2); // the room and the microphone's own noise
        crest = between(4, 7);
    }
    // A microphone is mono; the little difference comes from its panning.
    const double offset = m_width * std::sin(m_phase[3]);
    StereoLevels levels;
    levels.rmsLeft = wholeDb(rms);
    levels.rmsRight = wholeDb(rms - offset);
    levels.peakLeft = std::max(levels.rmsLeft, wholeDb(rms + crest));
    levels.peakRight = std::max(levels.rmsRight, wholeDb(rms + crest - offset + between(-1, 1)));
    return levels;
}

StereoLevels LevelGenerator::musicAt(double t) {
    const double body = -17.0 + m_loudness + 3.5 * std::sin(kTwoPi * t / m_period[0] + m_phase[0]) +
                        2.0 * std::sin(kTwoPi * t / m_period[1] + m_phase[1]);
    const double beatPhase = std::fmod(t * m_rate + m_phase[2], 1.0);
    const double hit = 5.0 * std::exp(-6.0 * beatPhase); // the drum, decaying over the beat
    const double width = m_width * std::sin(kTwoPi * t / m_period[2] + m_phase[3]);

    const double rmsLeft = body - 6.0 + 0.4 * hit + between(-1, 1);
    const double rmsRight = rmsLeft - width + between(-1, 1);
    StereoLevels levels;
    levels.rmsLeft = wholeDb(rmsLeft);
    levels.rmsRight = wholeDb(rmsRight);
    levels.peakLeft = std::max(levels.rmsLeft, wholeDb(rmsLeft + 7.0 + hit + between(0, 3)));
    levels.peakRight = std::max(levels.rmsRight, wholeDb(rmsRight + 7.0 + hit + between(0, 3)));
    return levels;
}

StereoLevels LevelGenerator::afterChannel(const StereoLevels& levels, bool on, double gainDb) {
    if (!on) {
        return {kSilenceDb, kSilenceDb, kSilenceDb, kSilenceDb};
    }
    const auto moved = [gainDb](int db) {
        return db <= kSilenceDb ? kSilenceDb : wholeDb(db + gainDb);
    };
    return {moved(levels.peakLeft), moved(levels.peakRight), moved(levels.rmsLeft),
            moved(levels.rmsRight)};
}

} // namespace corvane::demo
