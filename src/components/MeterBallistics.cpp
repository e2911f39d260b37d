#include "components/MeterBallistics.h"

#include <algorithm>
#include <cmath>

namespace corvane {

void MeterBallistics::setDecayDbPerSecond(double dbPerSecond) {
    m_decayDbPerSecond =
        (std::isfinite(dbPerSecond) && dbPerSecond > 0) ? dbPerSecond : kDefaultDecayDbPerSecond;
}

void MeterBallistics::setDrawableRange(double floorDb, double ceilingDb) {
    m_floorDb = floorDb;
    m_ceilingDb = ceilingDb;
}

void MeterBallistics::setReading(qint32 level, qint64 nowMs) {
    advance(nowMs);
    m_reading = level;
    if (level >= m_shownDb) {
        m_shownDb = level;
    }
    if (level >= m_holdDb) {
        m_holdDb = level;
        m_holdSinceMs = nowMs;
    }
}

void MeterBallistics::reset(qint64 nowMs) {
    m_reading = kSilence;
    m_shownDb = kSilence;
    m_holdDb = kSilence;
    m_holdSinceMs = nowMs;
    m_lastAdvanceMs = nowMs;
}

void MeterBallistics::goSilentAt(qint64 atMs) {
    // Never back in time: the steps up to the last advance have been taken already.
    setReading(kSilence, std::max(atMs, m_lastAdvanceMs));
}

void MeterBallistics::advance(qint64 nowMs) {
    const qint64 elapsedMs = std::max<qint64>(0, nowMs - m_lastAdvanceMs);
    m_lastAdvanceMs = nowMs;
    if (settled() || elapsedMs == 0) {
        return;
    }
    const double fallDb = m_decayDbPerSecond * double(elapsedMs) / 1000.0;

    if (m_shownDb > m_reading) {
        const double from = std::min(m_shownDb, m_ceilingDb);
        m_shownDb = std::max<double>(m_reading, from - fallDb);
        if (m_shownDb < m_floorDb) {
            m_shownDb = m_reading;
        }
    }

    // The hold falls only for the part of this step that lies past its hold time.
    const qint64 releaseAtMs = m_holdSinceMs + m_peakHoldMs;
    if (nowMs > releaseAtMs && m_holdDb > m_shownDb) {
        const qint64 fallingMs = std::min(elapsedMs, nowMs - releaseAtMs);
        const double from = std::min(m_holdDb, m_ceilingDb);
        m_holdDb = std::max(m_shownDb, from - m_decayDbPerSecond * double(fallingMs) / 1000.0);
        if (m_holdDb < m_floorDb) {
            m_holdDb = m_shownDb;
        }
    }
    if (m_holdDb < m_shownDb) {
        m_holdDb = m_shownDb;
    }
}

} // namespace corvane
