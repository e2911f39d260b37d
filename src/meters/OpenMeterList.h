#pragma once

#include "meters/MeterPoint.h"
#include "meters/clsOpenMeter.h"
#include "support/KeyedCollection.h"

#include <QHash>

namespace corvane {

// collOpenMeters: the subscribed points keyed by meter key, in the order they were added, one
// entry per key however many controls show the point. Beside the keyed entries it keeps an
// index by point, so that every level line finds its entry without building a key.
class OpenMeterList {
public:
    // Adds the entry under its point's meter key; false (and the old entry kept) when the key
    // is present.
    bool add(const clsOpenMeter& meter);
    // False when there was no entry.
    bool remove(const MeterPoint& point);

    clsOpenMeter* find(const QString& meterKey) { return m_entries.find(meterKey); }
    clsOpenMeter* find(const MeterPoint& point) { return m_byPoint.value(point, nullptr); }

    // Notes that the point was heard from; nothing when it is not open.
    void heardFrom(const MeterPoint& point, qint64 nowMs) {
        if (clsOpenMeter* meter = find(point)) {
            meter->lngLastHeardFrom = nowMs;
        }
    }

    qsizetype size() const { return m_entries.size(); }
    bool isEmpty() const { return m_entries.isEmpty(); }

    auto begin() { return m_entries.begin(); }
    auto end() { return m_entries.end(); }
    auto begin() const { return m_entries.begin(); }
    auto end() const { return m_entries.end(); }

private:
    KeyedCollection<clsOpenMeter> m_entries;
    QHash<MeterPoint, clsOpenMeter*> m_byPoint;
};

} // namespace corvane
