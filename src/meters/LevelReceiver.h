#pragma once

#include "meters/MeterLineBuffer.h"
#include "meters/clsMeterData.h"

#include <QByteArrayView>

#include <functional>

namespace corvane {

class MeterRoutes;
class OpenMeterList;

// The meter connection's receive path: cuts each arrival into lines, reads the level lines and
// delivers every reading. Each line stands alone: a line that cannot be read is dropped and the
// lines after it in the same arrival are still delivered.
class LevelReceiver {
public:
    using Clock = std::function<qint64()>;

    // clock gives the time in milliseconds that marks open points as heard from.
    LevelReceiver(MeterRoutes& routes, OpenMeterList& openMeters, Clock clock);

    // One arrival of bytes from the meter server.
    void receive(QByteArrayView data);

    // A reading goes to the open point's last-heard time and, independently, to every control
    // that shows the point: the peaks to an LED meter, peaks and RMS to a channel strip.
    void deliver(const clsMeterData& reading, qint64 nowMs);

    // Forgets the unfinished line (metering switched off).
    void clear() { m_buffer.clear(); }
    const MeterLineBuffer& buffer() const { return m_buffer; }

    // Counts since construction, for the debug view and for tests.
    qint64 readingsDelivered() const { return m_readings; }
    qint64 controlUpdates() const { return m_updates; }
    qint64 linesIgnored() const { return m_ignored; }

private:
    void handleLine(QByteArrayView line, qint64 nowMs);

    MeterRoutes& m_routes;
    OpenMeterList& m_openMeters;
    Clock m_clock;
    MeterLineBuffer m_buffer;
    qint64 m_readings = 0;
    qint64 m_updates = 0;
    qint64 m_ignored = 0;
};

} // namespace corvane
