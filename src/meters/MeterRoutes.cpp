#include "meters/MeterRoutes.h"

#include <QStringList>

namespace corvane {

void MeterRoutes::rebuild() {
    m_routes.clear();
    for (const auto& entry : m_panel.collMeterPointers) {
        Route route;
        for (const QString& name : entry.value.names.split(QLatin1String("||"))) {
            if (name.trimmed().isEmpty()) {
                continue;
            }
            const ControlRecordPtr* record = m_panel.collControls.find(name.toLower());
            if (record == nullptr || !*record) {
                continue;
            }
            const QString type = (*record)->typeKey();
            QWidget* control = (*record)->pntrControl.data();
            if (type == QLatin1String("meter")) {
                route.push_back({*record, Kind::Meter, qobject_cast<LedMeter*>(control), {}});
            } else if (type == QLatin1String("meterfader")) {
                route.push_back(
                    {*record, Kind::MeterFader, {}, qobject_cast<MeterFader*>(control)});
            }
        }
        if (!route.empty()) {
            m_routes.insert(entry.value.point, std::move(route));
        }
    }
    m_valid = true;
}

} // namespace corvane
