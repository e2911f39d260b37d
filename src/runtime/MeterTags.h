#pragma once

#include <QString>
#include <QStringList>

namespace corvane {

struct PanelState;

// The open meter tag of a point: router as four upper-case hexadecimal digits, "::", I/O in
// decimal, "::", "True" for a destination or "False" for a source.
QString MeterTag(qint32 router, qint32 io, bool isDest);

// A tag for every "meter" and "meterfader" record of the panel, in registration order; controls
// on the same point give one tag each.
QStringList GetOpenMeterTags(const PanelState& panel);

} // namespace corvane
