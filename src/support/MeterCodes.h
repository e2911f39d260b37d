#pragma once

#include <QtGlobal>

namespace corvane {

// The meter scale and style codes of a panel definition, as records hold them and as the meter
// components take them. Codes outside these read as linear and led.
enum MeterScaleCode : qint32 {
    MeterScaleLinear = 0,   // -60..0 dB evenly
    MeterScaleStandard = 1, // broadcast dB scale, denser near the top
    MeterScaleBritish = 2   // PPM marks 1 to 7
};
enum MeterStyleCode : qint32 { MeterStyleLed = 0, MeterStyleGradient = 1 };

} // namespace corvane
