#pragma once

class QWidget;

namespace corvane {

struct ControlArrays;

// Every LED meter and channel strip of the panel drops to silence and shows that it has no
// data, until its next reading: for when the levels stop being measured at all.
void ShowMetersWithoutData(ControlArrays& arrays, QWidget* window);

} // namespace corvane
