#pragma once

#include "support/MeterKey.h"

#include <QHashFunctions>
#include <QString>

namespace corvane {

// A meter point as a number that hashes cheaply: the router and I/O numbers and whether it is
// a destination. Two points are the same point exactly when their meter keys are the same
// text, so the level path can find a point per reading without building its key.
struct MeterPointId {
    qint32 router = 0;
    qint32 io = 0;
    bool isDest = false;

    bool operator==(const MeterPointId&) const = default;

    QString key() const { return MeterKey(router, io, isDest); }
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

inline size_t qHash(const MeterPointId& point, size_t seed = 0) noexcept {
    const quint64 packed = (quint64(quint32(point.router)) << 32) ^
                           (quint64(quint32(point.io)) << 1) ^ quint64(point.isDest);
    return ::qHash(packed, seed);
}

} // namespace corvane
