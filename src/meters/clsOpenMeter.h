#pragma once

#include "meters/MeterPoint.h"

#include <QByteArray>

namespace corvane {

// One meter point the client has subscribed at the meter server.
struct clsOpenMeter {
    qint16 intRouter = 0;
    qint16 intIO = 0;
    bool boolIsDest = false;
    // When the point was subscribed or last sent a level line, in milliseconds of the meter
    // client's monotonic clock (a clock change on the machine never makes a point look quiet).
    qint64 lngLastHeardFrom = 0;
    // The complete subscribe line, or empty while the point's I/O address is not known.
    QByteArray strSubscribeCommand;

    MeterPoint point() const { return {intRouter, intIO, boolIsDest}; }
};

} // namespace corvane
