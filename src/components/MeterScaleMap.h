#pragma once

#include "support/MeterCodes.h"

#include <QString>

#include <vector>

namespace corvane {

// Where a level in dB (0 = full scale) sits along a meter, for the three scale codes a panel
// can ask for: linear (-60..0 dB evenly), standard (broadcast dB scale, denser near the top),
// british (PPM marks 1 to 7, four dB apart, mark 4 at -18 dB). Unknown codes read as linear.
// Pure arithmetic, so that drawing and tests share one mapping.
class MeterScaleMap {
public:
    struct Mark {
        double db;
        QString label;
    };

    explicit MeterScaleMap(int scaleCode = MeterScaleLinear);

    MeterScaleCode kind() const { return m_kind; }
    double floorDb() const;
    double ceilingDb() const { return 0.0; }

    // 0 at the floor, 1 at full scale; levels outside the scale are pinned to its ends.
    double fractionForDb(double db) const;

    // Colour zone boundaries: below warningDb is safe, from dangerDb up is overload.
    double warningDb() const;
    double dangerDb() const;

    // Scale marks from the top of the scale down; the drawing skips labels that would collide.
    const std::vector<Mark>& marks() const;

private:
    struct Knot {
        double db;
        double fraction;
    };
    const std::vector<Knot>& knots() const;

    MeterScaleCode m_kind;
};

} // namespace corvane
