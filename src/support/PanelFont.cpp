#include "support/PanelFont.h"

#include "support/ControlFacts.h"
#include "support/Twips.h"

#include <QWidget>

namespace corvane::PanelFont {

namespace {

void show(QWidget* widget, QFont font, double points) {
    if (points > 0) {
        font.setPointSizeF(PanelMapping::of(widget).points(points));
    }
    widget->setFont(font);
}

} // namespace

void set(QWidget* widget, const QFont& fontAtScaleOne) {
    const double points = fontAtScaleOne.pointSizeF();
    ControlFacts::of(widget).fontPoints = points;
    show(widget, fontAtScaleOne, points);
}

double pointsAtScaleOne(const QWidget* widget) {
    const ControlFacts* facts = ControlFacts::find(widget);
    if (facts != nullptr && facts->fontPoints) {
        return *facts->fontPoints;
    }
    return widget->font().pointSizeF() / PanelMapping::of(widget).scale();
}

bool reapply(QWidget* widget) {
    const ControlFacts* facts = ControlFacts::find(widget);
    if (facts == nullptr || !facts->fontPoints) {
        return false;
    }
    show(widget, widget->font(), *facts->fontPoints);
    return true;
}

} // namespace corvane::PanelFont
