#include "app/ScreenPlacement.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace corvane {

namespace {

bool titleReachable(const QPoint& saved, const QSize& size, const QList<QRect>& screenAreas) {
    const QRect title(saved, QSize(size.width(), kReachableTitleArea.height()));
    const int wantedWidth = std::min(kReachableTitleArea.width(), size.width());
    return std::any_of(screenAreas.cbegin(), screenAreas.cend(), [&](const QRect& area) {
        const QRect shown = area.intersected(title);
        return shown.width() >= wantedWidth && shown.height() >= title.height();
    });
}

// The nearest start within [first, last], or first when the window is longer than the range.
int nearestFit(int start, int length, int first, int last) {
    return std::max(first, std::min(start, last + 1 - length));
}

} // namespace

QPoint ReachableWindowPosition(const QPoint& saved, const QSize& size,
                               const QList<QRect>& screenAreas, const QRect& primaryArea) {
    if (titleReachable(saved, size, screenAreas)) {
        return saved;
    }
    return {nearestFit(saved.x(), size.width(), primaryArea.left(), primaryArea.right()),
            nearestFit(saved.y(), size.height(), primaryArea.top(), primaryArea.bottom())};
}

QPoint ReachableWindowPosition(const QPoint& saved, const QSize& size) {
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary == nullptr) {
        return saved; // no screen to measure against
    }
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) {
        areas.append(screen->availableGeometry());
    }
    return ReachableWindowPosition(saved, size, areas, primary->availableGeometry());
}

} // namespace corvane
