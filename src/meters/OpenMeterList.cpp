#include "meters/OpenMeterList.h"

namespace corvane {

bool OpenMeterList::add(const clsOpenMeter& meter) {
    const MeterPoint point = meter.point();
    const QString key = point.key();
    if (!m_entries.add(key, meter)) {
        return false;
    }
    // Entries never move in memory while they are in the collection.
    m_byPoint.insert(point, m_entries.find(key));
    return true;
}

bool OpenMeterList::remove(const MeterPoint& point) {
    m_byPoint.remove(point);
    return m_entries.remove(point.key());
}

} // namespace corvane
