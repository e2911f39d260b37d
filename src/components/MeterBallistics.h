#pragma once

#include <QtGlobal>

namespace corvane {

// One channel's displayed level: rises at once to a new reading, falls at a fixed rate in dB
// per second, and keeps a peak hold for a time in milliseconds before that falls too. Times
// are passed in, so the behaviour depends only on elapsed time, never on how often it runs.
class MeterBallistics {
public:
    static constexpr double kDefaultDecayDbPerSecond = 12.0;
    static constexpr int kDefaultPeakHoldMs = 1500;

    void setDecayDbPerSecond(double dbPerSecond);
    double decayDbPerSecond() const { return m_decayDbPerSecond; }
    void setPeakHoldMs(int ms) { m_peakHoldMs = ms < 0 ? 0 : ms; }
    int peakHoldMs() const { return m_peakHoldMs; }

    // The range that can be drawn: a fall starts from the ceiling at most, and once the shown
    // level drops below the floor it rests on the reading, which is all a viewer can see.
    void setDrawableRange(double floorDb, double ceilingDb);

    // The reading of a point that is heard no more.
    static constexpr qint32 kSilence = -32768;

    void setReading(qint32 level, qint64 nowMs);
    // Shows silence at once, peak hold included: for levels that are no longer measured.
    void reset(qint64 nowMs);
    // The reading turned to silence at atMs (found out later, perhaps): the level falls from
    // that moment on, at its usual rate.
    void goSilentAt(qint64 atMs);
    void advance(qint64 nowMs);

    qint32 reading() const { return m_reading; }
    double shownDb() const { return m_shownDb; }
    double peakHoldDb() const { return m_holdDb; }
    // True when nothing will move until the next reading.
    bool settled() const { return m_shownDb <= m_reading && m_holdDb <= m_shownDb; }

private:
    double m_decayDbPerSecond = kDefaultDecayDbPerSecond;
    int m_peakHoldMs = kDefaultPeakHoldMs;
    double m_floorDb = -60.0;
    double m_ceilingDb = 0.0;

    qint32 m_reading = kSilence;
    double m_shownDb = kSilence;
    double m_holdDb = kSilence;
    qint64 m_holdSinceMs = 0;
    qint64 m_lastAdvanceMs = 0;
};

} // namespace corvane
