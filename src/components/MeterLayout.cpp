#include "components/MeterLayout.h"

#include <algorithm>

namespace corvane {

QRect MeterLayout::beside(int litChannel, int from, int to) const {
    const QRect span = across(from, to);
    const QRect lit = bars[litChannel];
    if (vertical) {
        return litChannel == 0 ? QRect(QPoint(lit.right() + 1, span.top()), span.bottomRight())
                               : QRect(span.topLeft(), QPoint(lit.left() - 1, span.bottom()));
    }
    return litChannel == 0 ? QRect(QPoint(span.left(), lit.bottom() + 1), span.bottomRight())
                           : QRect(span.topLeft(), QPoint(span.right(), lit.top() - 1));
}

QRect MeterLayout::coreOf(const QRect& span, bool vertical) {
    const int across = vertical ? span.width() : span.height();
    const int core = std::max(1, across / 3);
    const int offset = (across - core) / 2;
    return vertical ? QRect(span.left() + offset, span.top(), core, span.height())
                    : QRect(span.left(), span.top() + offset, span.width(), core);
}

} // namespace corvane
