#pragma once

#include "support/MeterKey.h"

#include <QHashFunctions>
#include <QString>

namespace corvane {

// A meter point: a router's I/O, as a source or as a destination. The panel's meters, the
// Core and the meter server all name their points so; the point hashes cheaply, so that the
// level path finds a point per reading without building its key.
struct MeterPoint {
    qint32 router = 0;
    qint32 io = 0;
    bool isDestination = false;

    bool operator==(const MeterPoint&) const = default;

    // The text by which collections keyed by meter point know it. Two points are the same
    // point exactly when their keys are the same text.
    QString key() const { return MeterKey(router, io, isDestination); }
};

// Level lines and the meter server number points in 16 bits: a point numbered beyond cannot be
// metered.
inline bool FitsLevelLines(qint32 number) {
    return number >= -32768 && number <= 32767;
}

// The panel subscribes a meter's point only when its router and I/O numbers are both 1 or more.
inline bool IsSubscribedPoint(qint32 router, qint32 io) {
    return router > 0 && io > 0;
}

inline size_t qHash(const MeterPoint& point, size_t seed = 0) noexcept {
    const quint64 packed = (quint64(quint32(point.router)) << 32) ^
                           (quint64(quint32(point.io)) << 1) ^ quint64(point.isDestination);
    return ::qHash(packed, seed);
}

} // namespace corvane
