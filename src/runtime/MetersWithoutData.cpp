#include "runtime/MetersWithoutData.h"

#include "components/LedMeter.h"
#include "components/MeterFader.h"
#include "panel/ControlArrays.h"

namespace corvane {

void ShowMetersWithoutData(ControlArrays& arrays) {
    for (int index = 1; index < arrays.TesselLED.count(); ++index) {
        if (LedMeter* meter = arrays.TesselLED.at(index)) {
            meter->showNoData();
        }
    }
    for (int index = 1; index < arrays.TesselMeterFader.count(); ++index) {
        if (MeterFader* strip = arrays.TesselMeterFader.at(index)) {
            strip->showNoData();
        }
    }
}

} // namespace corvane
