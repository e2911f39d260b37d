#pragma once

#include <QPoint>
#include <QSize>
#include <QString>

#include <optional>

namespace corvane {

// The panel's scale as the configuration ("panelscale") or the command line ("--scale") gives
// it: "fit", the largest factor at which the panel fits its screen, or a factor from 0.25 to 4.
struct ScaleChoice {
    static constexpr double kMinFactor = 0.25;
    static constexpr double kMaxFactor = 4.0;

    bool fit = false;
    double factor = 1.0; // when not fit

    // "fit" (any case) or a decimal number in range ("1.5", "0.75"); nothing for other text.
    static std::optional<ScaleChoice> fromText(const QString& text);
    QString text() const;

    bool operator==(const ScaleChoice& other) const = default;
};

// The scale arithmetic of the panel window, in pixels.
namespace PanelScale {

double clamp(double factor);
// The largest factor at which a panel of this size at scale 1 fits the area, within range.
// A panel or an area of no size gives 1.
double fit(QSize panelAtScaleOne, QSize area);
// The next step up or down from a factor, on steps an operator can come back by (0.25, 0.33,
// 0.5, 0.67, 0.75, 0.8, 0.9, 1, 1.1, 1.25, 1.5, 1.75, 2, 2.5, 3, 4): a factor between two steps,
// as fit gives, goes to the nearer one in that direction. At an end it stays.
double stepUp(double factor);
double stepDown(double factor);
// Where the top-left corner of a panel of this size goes to be centred in the area; a panel
// larger than the area starts at its edge, so its top and left stay in sight.
QPoint centred(QSize panel, QSize area);

} // namespace PanelScale

} // namespace corvane
