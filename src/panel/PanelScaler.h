#pragma once

#include "support/Twips.h"

class QWidget;

namespace corvane {

// Shows a panel window and everything built on it at a new mapping: the window's font (which
// its controls, meters, strips and clocks inherit), the fonts the definition gave, the place
// and size of every control from its twips, the zoom of web views and the window's size.
// Meters, strips and clocks draw themselves at their new size on the screen's own pixels, so
// nothing is an enlarged picture of itself; only pictures from files are resampled, smoothly.
namespace PanelScaler {

void apply(QWidget* window, const PanelMapping& mapping);

} // namespace PanelScaler

} // namespace corvane
