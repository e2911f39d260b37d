#pragma once

#include "meters/MeterPoint.h"

#include <QLatin1String>

namespace corvane {

// One level line from the meter server: which point it reads and its levels, in the meter
// server's own scale (neither scaled nor clamped). Made per line, delivered, then dropped.
struct clsMeterData {
    bool ISDest = false;
    qint16 Router = 0;
    qint16 IO = 0;
    // The line's fifth token as received. It views the received text and is valid only while
    // the reading is being delivered; nothing reads it.
    QLatin1String Path;
    qint16 PeekL = 0;
    qint16 PeekR = 0;
    qint16 RmsL = 0;
    qint16 RmsR = 0;
    // Whether the line's PEEK and RMS tokens could be read. A line without readable peaks
    // still tells that its point is alive, but shows no level: read as 0 (full scale), it
    // would light the meter to the top.
    bool hasPeaks = false;
    bool hasRms = false;
    // The line has an RMS token that could not be read: the RMS shown stays as it was. A
    // line without one has no RMS at all.
    bool rmsUnreadable = false;

    MeterPoint point() const { return {Router, IO, ISDest}; }
};

} // namespace corvane
