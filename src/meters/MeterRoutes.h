#pragma once

#include "components/LedMeter.h"
#include "components/MeterFader.h"
#include "meters/MeterPoint.h"
#include "panel/PanelState.h"

#include <QHash>
#include <QPointer>

#include <vector>

namespace corvane {

// Which panel controls show each meter point, as collMeterPointers and collControls say: the
// names listed for the point, looked up in collControls, keeping the "meter" and
// "meterfader" records in the order of the names. Resolved once after the panel changes, so
// that a reading costs one hash lookup however many controls the panel has.
class MeterRoutes {
public:
    enum class Kind { Meter, MeterFader };
    struct Target {
        ControlRecordPtr record;
        Kind kind;
        // The record's control, found once when the routes are resolved, so that a reading
        // goes straight to it; a control built after that is found through the record.
        QPointer<LedMeter> meterControl;
        QPointer<MeterFader> stripControl;

        LedMeter* meter() const {
            return meterControl ? meterControl.data()
                                : qobject_cast<LedMeter*>(record->pntrControl.data());
        }
        MeterFader* strip() const {
            return stripControl ? stripControl.data()
                                : qobject_cast<MeterFader*>(record->pntrControl.data());
        }
    };
    using Route = std::vector<Target>;

    explicit MeterRoutes(const PanelState& panel) : m_panel(panel) {}
    MeterRoutes(const MeterRoutes&) = delete;
    MeterRoutes& operator=(const MeterRoutes&) = delete;

    // To be called whenever collMeterPointers or collControls may have changed (a delivery of
    // the panel definition); the routes are resolved again on the next lookup.
    void invalidate() { m_valid = false; }

    // The controls of the point, or nullptr when the panel shows it nowhere.
    const Route* find(const MeterPoint& point) {
        if (!m_valid) {
            rebuild();
        }
        const auto found = m_routes.constFind(point);
        return found == m_routes.cend() ? nullptr : &found.value();
    }

private:
    void rebuild();

    const PanelState& m_panel;
    QHash<MeterPoint, Route> m_routes;
    bool m_valid = false;
};

} // namespace corvane
