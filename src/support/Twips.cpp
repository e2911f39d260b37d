#include "support/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVariant>
#include <QWidget>

#include <cmath>

namespace corvane {

namespace {

// One property for the whole mapping: it is read for every control placed or given a font.
constexpr char kMappingProperty[] = "panelMapping";

int rounded(double pixels) {
    return static_cast<int>(std::lround(pixels));
}

} // namespace

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
    return rounded(twips * logicalDpi() / kTwipsPerInch);
}

double pixelsToTwips(int pixels) {
    return pixels * kTwipsPerInch / logicalDpi();
}

PanelMapping::PanelMapping(double scale, QPoint origin, QSize windowExtra)
    : m_scale(scale > 0 ? scale : 1.0), m_origin(origin), m_windowExtra(windowExtra) {}

int PanelMapping::lengthToPixels(double twips) const {
    return rounded(twips * m_scale * logicalDpi() / kTwipsPerInch);
}

// A position is rounded as a whole, so that controls the definition puts edge to edge stay
// edge to edge at any scale.
int PanelMapping::xToPixels(double twips) const {
    return m_origin.x() + lengthToPixels(twips);
}

int PanelMapping::yToPixels(double twips) const {
    return m_origin.y() + lengthToPixels(twips);
}

double PanelMapping::lengthToTwips(int pixels) const {
    return pixels * kTwipsPerInch / (logicalDpi() * m_scale);
}

double PanelMapping::xToTwips(int pixels) const {
    return lengthToTwips(pixels - m_origin.x());
}

double PanelMapping::yToTwips(int pixels) const {
    return lengthToTwips(pixels - m_origin.y());
}

double PanelMapping::points(double pointsAtScaleOne) const {
    return pointsAtScaleOne * m_scale;
}

PanelMapping PanelMapping::of(const QWidget* widget) {
    const QWidget* window = widget ? widget->window() : nullptr;
    if (window == nullptr) {
        return {};
    }
    const QVariant mapping = window->property(kMappingProperty);
    return mapping.canConvert<PanelMapping>() ? mapping.value<PanelMapping>() : PanelMapping();
}

void PanelMapping::install(QWidget* window, const PanelMapping& mapping) {
    window->setProperty(kMappingProperty, QVariant::fromValue(mapping));
}

} // namespace corvane
