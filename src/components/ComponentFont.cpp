#include "components/ComponentFont.h"

#include <algorithm>
#include <cmath>

namespace corvane {

QFont scaledFont(const QFont& base, qreal share, bool bold) {
    QFont font(base);
    if (base.pointSizeF() > 0) {
        font.setPointSizeF(std::max(1.0, base.pointSizeF() * share));
    } else if (base.pixelSize() > 0) {
        font.setPixelSize(std::max(1, int(std::lround(base.pixelSize() * share))));
    }
    font.setBold(bold);
    return font;
}

} // namespace corvane
