#include "meters/MeterRoutes.h"

#include <QStringList>

#include <optional>

namespace corvane {

namespace {

// The point a collMeterPointers key names. Keys are made from numbers, so one that does not
// read back as the same key names no point a reading could reach.
std::optional<MeterPointId> pointOfKey(const QString& key) {
    const QStringList parts = key.split(QLatin1Char('_'));
    if (parts.size() != 3) {
        return std::nullopt;
    }
    bool routerOk = false;
    bool ioOk = false;
    MeterPointId point;
    point.router = parts[0].toInt(&routerOk);
    point.io = parts[1].toInt(&ioOk);
    point.isDest = parts[2].compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
    if (!routerOk || !ioOk || point.key().compare(key, Qt::CaseInsensitive) != 0) {
        return std::nullopt;
    }
    return point;
}

} // namespace

void MeterRoutes::rebuild() {
    m_routes.clear();
    for (const auto& entry : m_panel.collMeterPointers) {
        const auto point = pointOfKey(entry.key);
        if (!point) {
            continue;
        }
        Route route;
        for (const QString& name : entry.value.split(QLatin1String("||"))) {
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
            m_routes.insert(*point, std::move(route));
        }
    }
    m_valid = true;
}

} // namespace corvane
