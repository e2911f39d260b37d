#pragma once

#include "meters/MeterPoint.h"

#include <vector>

namespace corvane {

struct PanelState;

// The point of every "meter" and "meterfader" record of the panel, in registration order;
// controls on the same point give one point each.
std::vector<MeterPoint> PanelMeterPoints(const PanelState& panel);

} // namespace corvane
