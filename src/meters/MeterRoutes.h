#pragma once

#include "meters/MeterPoint.h"
#include "panel/PanelState.h"

#include <QHash>

#include <vector>

namespace corvane {

// Which panel controls show each meter point, as collMeterPointers and collControls say: the
// names listed under the point's key, looked up in collControls, keeping the "meter" and
// "meterfader" records in the order of the names. Resolved once after the panel changes, so
// that a reading costs one hash lookup however many controls the panel has.
class MeterRoutes {
public:
    enum class Kind { Meter, MeterFader };
    struct Target {
        ControlRecordPtr record;
        Kind kind;
    };
    using Route = std::vector<Target>;

    explicit MeterRoutes(const PanelState& panel) : m_panel(panel) {}
    MeterRoutes(const MeterRoutes&) = delete;
    MeterRoutes& operator=(const MeterRoutes&) = delete;

    // To be called whenever collMeterPointers or collControls may have changed (a delivery of
    // the panel definition); the routes are resolved again on the next lookup.
    void invalidate() { m_valid = false; }

    // The controls of the point, or nullptr when the panel shows it nowhere.
    const Route* find(const MeterPointId& point) {
        if (!m_valid) {
            rebuild();
        }
        const auto found = m_routes.constFind(point);
        return found == m_routes.cend() ? nullptr : &found.value();
    }

private:
    void rebuild();

    const PanelState& m_panel;
    QHash<MeterPointId, Route> m_routes;
    bool m_valid = false;
};

} // namespace corvane
