#include "meters/LevelReceiver.h"

#include "components/LedMeter.h"
#include "components/MeterFader.h"
#include "meters/LevelLineParser.h"
#include "meters/MeterRoutes.h"
#include "meters/OpenMeterList.h"

#include <exception>

namespace corvane {

LevelReceiver::LevelReceiver(MeterRoutes& routes, OpenMeterList& openMeters, Clock clock)
    : m_routes(routes), m_openMeters(openMeters), m_clock(std::move(clock)) {}

void LevelReceiver::receive(QByteArrayView data) {
    // Every line of one arrival was heard at the same moment.
    const qint64 nowMs = m_clock();
    m_buffer.append(data, [this, nowMs](QByteArrayView line) { handleLine(line, nowMs); });
}

void LevelReceiver::handleLine(QByteArrayView line, qint64 nowMs) {
    try {
        const auto reading = ParseLevelLine(line);
        if (!reading) {
            ++m_ignored;
            return;
        }
        deliver(*reading, nowMs);
    } catch (const std::exception&) {
        ++m_ignored; // this line only; the next one is read as usual
    }
}

void LevelReceiver::deliver(const clsMeterData& reading, qint64 nowMs) {
    const MeterPoint point = reading.point();
    m_openMeters.heardFrom(point, nowMs);
    ++m_readings;
    const MeterRoutes::Route* route = m_routes.find(point);
    if (route == nullptr) {
        return;
    }
    for (const MeterRoutes::Target& target : *route) {
        if (target.kind == MeterRoutes::Kind::Meter) {
            if (!reading.hasPeaks) {
                continue;
            }
            if (LedMeter* meter = target.meter()) {
                meter->SetPeakLevels(reading.PeekL, reading.PeekR);
                ++m_updates;
            }
        } else if (MeterFader* strip = target.strip()) {
            if (reading.hasPeaks && !reading.rmsUnreadable) {
                // A line without RMS clears the strip's RMS core.
                strip->SetMeterLevels(reading.PeekL, reading.PeekR, reading.RmsL, reading.RmsR);
            } else if (reading.hasPeaks) {
                strip->SetPeakLevels(reading.PeekL, reading.PeekR);
            } else if (reading.hasRms) {
                strip->SetRmsLevels(reading.RmsL, reading.RmsR);
            } else {
                continue;
            }
            ++m_updates;
        }
    }
}

} // namespace corvane
