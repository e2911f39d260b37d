#include "support/PanelFont.h"

#include "support/Twips.h"

#include <QVariant>
#include <QWidget>

namespace corvane::PanelFont {

namespace {

constexpr char kPoints[] = "pointsAtScaleOne";

void show(QWidget* widget, QFont font, double points) {
    if (points > 0) {
        font.setPointSizeF(PanelMapping::of(widget).points(points));
    }
    widget->setFont(font);
}

} // namespace

void set(QWidget* widget, const QFont& fontAtScaleOne) {
    const double points = fontAtScaleOne.pointSizeF();
    widget->setProperty(kPoints, points);
    show(widget, fontAtScaleOne, points);
}

double pointsAtScaleOne(const QWidget* widget) {
    const QVariant points = widget->property(kPoints);
    if (points.isValid()) {
        return points.toDouble();
    }
    return widget->font().pointSizeF() / PanelMapping::of(widget).scale();
}

bool reapply(QWidget* widget) {
    const QVariant points = widget->property(kPoints);
    if (!points.isValid()) {
        return false;
    }
    show(widget, widget->font(), points.toDouble());
    return true;
}

} // namespace corvane::PanelFont
