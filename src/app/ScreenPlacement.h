#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace corvane {

// How much of a window's top edge, its title bar, must lie on one screen for the operator to
// take hold of it and move it.
inline constexpr QSize kReachableTitleArea{100, 40};

// Where a window of the given size opens when it was saved at `saved` (its top-left corner).
// It stays there when enough of its title area (kReachableTitleArea, or the window's whole
// width when narrower) lies within one of the screens' available areas. Otherwise, saved on a
// monitor that is gone or off every screen, it goes onto the primary screen's available
// area, as near to the saved place as it fits, keeping its size.
QPoint ReachableWindowPosition(const QPoint& saved, const QSize& size,
                               const QList<QRect>& screenAreas, const QRect& primaryArea);

// The same for the screens attached now.
QPoint ReachableWindowPosition(const QPoint& saved, const QSize& size);

} // namespace corvane
