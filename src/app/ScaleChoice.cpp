#include "app/ScaleChoice.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace corvane {

namespace {

constexpr std::array kSteps{0.25, 1.0 / 3, 0.5, 2.0 / 3, 0.75, 0.8, 0.9, 1.0,
                            1.1,  1.25,    1.5, 1.75,    2.0,  2.5, 3.0, 4.0};
// Factors closer than this are the same step: a factor read back from a shown panel differs
// from its step by rounding only.
constexpr double kSameStep = 1e-6;

} // namespace

std::optional<ScaleChoice> ScaleChoice::fromText(const QString& text) {
    const QString value = text.trimmed();
    if (value.compare(QLatin1String("fit"), Qt::CaseInsensitive) == 0) {
        return ScaleChoice{true, 1.0};
    }
    bool ok = false;
    const double factor = value.toDouble(&ok); // "." as the decimal point, whatever the locale
    if (!ok || !std::isfinite(factor) || factor < kMinFactor || factor > kMaxFactor) {
        return std::nullopt;
    }
    return ScaleChoice{false, factor};
}

QString ScaleChoice::text() const {
    return fit ? QStringLiteral("fit") : QString::number(factor);
}

namespace PanelScale {

double clamp(double factor) {
    return std::clamp(factor, ScaleChoice::kMinFactor, ScaleChoice::kMaxFactor);
}

double fit(QSize panelAtScaleOne, QSize area) {
    if (panelAtScaleOne.isEmpty() || area.isEmpty()) {
        return 1.0;
    }
    const double factor = std::min(double(area.width()) / panelAtScaleOne.width(),
                                   double(area.height()) / panelAtScaleOne.height());
    // Rounded down a little, so that the panel's rounded pixels never pass the area's edge.
    return clamp(std::floor(factor * 1000) / 1000);
}

double stepUp(double factor) {
    for (const double step : kSteps) {
        if (step > factor + kSameStep) {
            return step;
        }
    }
    return kSteps.back();
}

double stepDown(double factor) {
    for (auto step = kSteps.rbegin(); step != kSteps.rend(); ++step) {
        if (*step < factor - kSameStep) {
            return *step;
        }
    }
    return kSteps.front();
}

QPoint centred(QSize panel, QSize area) {
    return QPoint(std::max(0, (area.width() - panel.width()) / 2),
                  std::max(0, (area.height() - panel.height()) / 2));
}

} // namespace PanelScale

} // namespace corvane
