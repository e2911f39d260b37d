#include "runtime/MetersWithoutData.h"

#include "components/LedMeter.h"
#include "components/MeterFader.h"
#include "panel/ControlArrays.h"
#include "support/AppGlobals.h"

#include <QWidget>

namespace corvane {

void ShowMetersWithoutData(ControlArrays& arrays, QWidget* window, const AppGlobals& globals) {
    if (globals.boolShuttingDown) {
        return; // the panel's controls are being released
    }
    bool changed = false;
    for (int index = 1; index < arrays.TesselLED.count(); ++index) {
        if (LedMeter* meter = arrays.TesselLED.at(index)) {
            changed = meter->markNoData() || changed;
        }
    }
    for (int index = 1; index < arrays.TesselMeterFader.count(); ++index) {
        if (MeterFader* strip = arrays.TesselMeterFader.at(index)) {
            changed = strip->markNoData() || changed;
        }
    }
    // One repaint of the window, not one per meter: the repaint of each control marked on
    // its own costs Qt a look at every control above it, and meters lie beneath all others.
    if (changed && window != nullptr) {
        window->update();
    }
}

} // namespace corvane
