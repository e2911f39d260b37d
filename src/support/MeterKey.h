#pragma once

#include <QString>

namespace corvane {

// The key of a meter point: decimal router, "_", decimal I/O, "_", then "True" for a
// destination or "False" for a source (router 5, I/O 12 as a destination: 5_12_True).
inline QString MeterKey(qint32 router, qint32 io, bool isDest) {
    return QString::number(router) + QLatin1Char('_') + QString::number(io) +
           (isDest ? QLatin1String("_True") : QLatin1String("_False"));
}

} // namespace corvane
