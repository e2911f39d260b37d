#pragma once

#include "common/DemoPoints.h"

#include <QtGlobal>

namespace corvane::demo {

// One reading of a stereo point, in whole dB below full scale (0 is full scale).
struct StereoLevels {
    int peakLeft = 0;
    int peakRight = 0;
    int rmsLeft = 0;
    int rmsRight = 0;
};

// Levels that move like programme material, for one point. Speech comes in talk spurts of
// syllables with short and long pauses; music has a beat and slowly changing loudness. Both
// have a stereo difference, peaks above RMS by the material's crest factor, and a little
// randomness. Driven by elapsed time: each reading costs the same whatever the gap since the
// last one, so a meter server can feed thousands of points per tick.
class LevelGenerator {
public:
    // Digital silence, sent for channels that are off.
    static constexpr int kSilenceDb = -96;

    LevelGenerator(Programme programme, quint64 seed);

    // The levels at a time in milliseconds; times must not go backwards (an earlier time is
    // read as the last one).
    StereoLevels at(qint64 nowMs);

    // The same levels moved by a gain and pinned to full scale; silence for a channel that is
    // off.
    static StereoLevels afterChannel(const StereoLevels& levels, bool on, double gainDb);

    Programme programme() const { return m_programme; }

private:
    double uniform(); // [0, 1)
    double between(double low, double high) { return low + (high - low) * uniform(); }
    void advanceSpeech(double seconds);
    StereoLevels speechAt(double t);
    StereoLevels musicAt(double t);

    Programme m_programme;
    quint64 m_random;
    qint64 m_lastMs = -1;
    double m_seconds = 0; // programme time

    // Shapes drawn once per point, so that every channel sounds a little different.
    double m_loudness;  // dB offset of the material
    double m_rate;      // syllables or beats per second
    double m_phase[4];  // of the slow envelopes
    double m_period[3]; // seconds, of the slow envelopes
    double m_width;     // dB of stereo difference

    // Speech: talking or pausing until a time.
    bool m_talking = true;
    double m_segmentEnd = 0;
};

} // namespace corvane::demo
