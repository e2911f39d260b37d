#include "support/TwipsGeometry.h"

#include "support/ControlFacts.h"
#include "support/Twips.h"

#include <QWidget>

#include <algorithm>
#include <optional>

namespace corvane::TwipsGeometry {

namespace {

using Edge = std::optional<double> ControlFacts::*;
constexpr Edge kLeft = &ControlFacts::left;
constexpr Edge kTop = &ControlFacts::top;
constexpr Edge kWidth = &ControlFacts::width;
constexpr Edge kHeight = &ControlFacts::height;

std::optional<double> remembered(const QWidget* widget, Edge edge) {
    const ControlFacts* facts = ControlFacts::find(widget);
    return facts != nullptr ? facts->*edge : std::nullopt;
}

// What a window manager adds around a window. Nothing for a control, or for a window that has
// no frame (not shown yet, or no window manager).
QSize frameExtent(const QWidget* widget) {
    const QSize extent = widget->frameGeometry().size() - widget->size();
    return extent.expandedTo(QSize(0, 0));
}

enum Part { Position = 1, Size = 2 };

// Only the part that was set: a window the operator has moved stays where it is when the
// panel changes its size, and a new scale changes its size only.
void placeWindow(QWidget* window, int parts) {
    if (window->windowState() & Qt::WindowFullScreen) {
        return; // the screen gives its size and place
    }
    if (parts & Position) {
        const auto left = remembered(window, kLeft);
        const auto top = remembered(window, kTop);
        window->move(left ? twipsToPixels(*left) : window->x(),
                     top ? twipsToPixels(*top) : window->y());
    }
    const auto width = remembered(window, kWidth);
    const auto height = remembered(window, kHeight);
    if ((parts & Size) && (width || height)) {
        const PanelMapping mapping = PanelMapping::of(window);
        const QSize frame = frameExtent(window);
        const QSize extra = mapping.windowExtra();
        window->resize(
            width ? std::max(0, mapping.lengthToPixels(*width) + extra.width() - frame.width())
                  : window->width(),
            height ? std::max(0, mapping.lengthToPixels(*height) + extra.height() - frame.height())
                   : window->height());
    }
}

// A control's edges are rounded where they lie, so that controls the definition puts edge to
// edge stay edge to edge at any scale.
void placeControl(QWidget* control) {
    const ControlFacts* facts = ControlFacts::find(control);
    if (facts == nullptr) {
        return;
    }
    const PanelMapping mapping = PanelMapping::of(control);
    const auto& left = facts->left;
    const auto& top = facts->top;
    const auto& width = facts->width;
    const auto& height = facts->height;
    const int x = left ? mapping.xToPixels(*left) : control->x();
    const int y = top ? mapping.yToPixels(*top) : control->y();
    int w = control->width();
    int h = control->height();
    if (width) {
        w = left ? mapping.xToPixels(*left + std::max(0.0, *width)) - x
                 : mapping.lengthToPixels(std::max(0.0, *width));
    }
    if (height) {
        h = top ? mapping.yToPixels(*top + std::max(0.0, *height)) - y
                : mapping.lengthToPixels(std::max(0.0, *height));
    }
    control->setGeometry(x, y, std::max(0, w), std::max(0, h));
}

void place(QWidget* widget, int windowParts) {
    if (widget->isWindow()) {
        placeWindow(widget, windowParts);
    } else {
        placeControl(widget);
    }
}

void remember(QWidget* widget, Edge edge, double twips) {
    ControlFacts::of(widget).*edge = twips;
}

} // namespace

void setLeft(QWidget* widget, double twips) {
    remember(widget, kLeft, twips);
    place(widget, Position);
}

void setTop(QWidget* widget, double twips) {
    remember(widget, kTop, twips);
    place(widget, Position);
}

void setWidth(QWidget* widget, double twips) {
    remember(widget, kWidth, twips);
    place(widget, Size);
}

void setHeight(QWidget* widget, double twips) {
    remember(widget, kHeight, twips);
    place(widget, Size);
}

void setRect(QWidget* widget, const QRectF& twips) {
    ControlFacts& facts = ControlFacts::of(widget);
    facts.left = twips.left();
    facts.top = twips.top();
    facts.width = twips.width();
    facts.height = twips.height();
    place(widget, Position | Size);
}

double left(const QWidget* widget) {
    if (const auto twips = remembered(widget, kLeft)) {
        return *twips;
    }
    return widget->isWindow() ? pixelsToTwips(widget->x())
                              : PanelMapping::of(widget).xToTwips(widget->x());
}

double top(const QWidget* widget) {
    if (const auto twips = remembered(widget, kTop)) {
        return *twips;
    }
    return widget->isWindow() ? pixelsToTwips(widget->y())
                              : PanelMapping::of(widget).yToTwips(widget->y());
}

double width(const QWidget* widget) {
    if (const auto twips = remembered(widget, kWidth)) {
        return *twips;
    }
    return PanelMapping::of(widget).lengthToTwips(widget->width());
}

double height(const QWidget* widget) {
    if (const auto twips = remembered(widget, kHeight)) {
        return *twips;
    }
    return PanelMapping::of(widget).lengthToTwips(widget->height());
}

bool hasSize(const QWidget* widget) {
    const ControlFacts* facts = ControlFacts::find(widget);
    return facts != nullptr && facts->width && facts->height;
}

void reapply(QWidget* widget) {
    const ControlFacts* facts = ControlFacts::find(widget);
    if (facts != nullptr && (facts->left || facts->top || facts->width || facts->height)) {
        place(widget, Size);
    }
}

} // namespace corvane::TwipsGeometry
