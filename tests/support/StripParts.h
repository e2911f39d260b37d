#pragma once

#include "components/GainFader.h"
#include "components/LedMeter.h"
#include "components/MeterFader.h"

#include <QString>

namespace corvane::test {

// The parts of a channel strip, found by the names the strip gives them.
inline LedMeter* stripMeter(const MeterFader* strip) {
    return strip->findChild<LedMeter*>(QStringLiteral("meter"));
}
inline GainFader* stripFader(const MeterFader* strip) {
    return strip->findChild<GainFader*>(QStringLiteral("fader"));
}
inline QWidget* stripOnOff(const MeterFader* strip) {
    return strip->findChild<QWidget*>(QStringLiteral("onOff"));
}
inline QWidget* stripBus(const MeterFader* strip, int bus) {
    return strip->findChild<QWidget*>(QStringLiteral("pgmBus%1").arg(bus));
}

} // namespace corvane::test
