#include "meters/OpenMeterList.h"

namespace corvane {

bool OpenMeterList::add(const clsOpenMeter& meter) {
    const MeterPointId point = pointOf(meter);
    if (!m_entries.add(point.key(), meter)) {
        return false;
    }
    // Entries never move in memory while they are in the collection.
    m_byPoint.insert(point, m_entries.find(point.key()));
    return true;
}

bool OpenMeterList::remove(const MeterPointId& point) {
    m_byPoint.remove(point);
    return m_entries.remove(point.key());
}

} // namespace corvane
