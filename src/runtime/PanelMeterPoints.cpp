#include "runtime/PanelMeterPoints.h"

#include "panel/PanelState.h"

namespace corvane {

std::vector<MeterPoint> PanelMeterPoints(const PanelState& panel) {
    std::vector<MeterPoint> points;
    for (const auto& entry : panel.collControls) {
        const clsUPControl* record = entry.value.get();
        if (record == nullptr) {
            continue;
        }
        const QString type = record->typeKey();
        if (type == QLatin1String("meter") || type == QLatin1String("meterfader")) {
            points.push_back(record->meterPoint());
        }
    }
    return points;
}

} // namespace corvane
