#include "support/Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace corvane {

double logicalDpi() {
    if (auto* screen = QGuiApplication::primaryScreen()) {
        const double dpi = screen->logicalDotsPerInchY();
        if (dpi > 0) {
            return dpi;
        }
    }
    return 96.0;
}

int twipsToPixels(double twips) {
    return static_cast<int>(std::lround(twips * logicalDpi() / kTwipsPerInch));
}

double pixelsToTwips(int pixels) {
    return pixels * kTwipsPerInch / logicalDpi();
}

} // namespace corvane
