#pragma once

class QWidget;

namespace corvane {

struct AppGlobals;
struct ControlArrays;

// Every LED meter and channel strip of the panel drops to silence and shows that it has no
// data, until its next reading: for when the levels stop being measured at all. Nothing while
// the program ends.
void ShowMetersWithoutData(ControlArrays& arrays, QWidget* window, const AppGlobals& globals);

} // namespace corvane
