#pragma once

namespace corvane {

// Records and the protocol speak twips (1/1440 inch); widgets are placed in pixels at the
// screen's logical dpi (15 twips a pixel at 96 dpi).
constexpr int kTwipsPerInch = 1440;

double logicalDpi();
int twipsToPixels(double twips);
double pixelsToTwips(int pixels);

} // namespace corvane
