#pragma once

#include <QColor>

namespace corvane {

// The colours of a meter, so that a panel theme can change them in one place. The defaults
// give the usual broadcast look: green below the alignment level, yellow up to the overload
// zone, red above, on a near-black ground.
struct MeterColors {
    QColor background{0x14, 0x14, 0x14};
    QColor safe{0x31, 0xd8, 0x43};
    QColor warning{0xf2, 0xd2, 0x1b};
    QColor danger{0xff, 0x34, 0x25};
    QColor safeDim{0x10, 0x36, 0x16};
    QColor warningDim{0x3a, 0x36, 0x0e};
    QColor dangerDim{0x40, 0x12, 0x10};
    QColor scaleText{0xc4, 0xc4, 0xc4};
    QColor scaleTick{0x70, 0x70, 0x70};
    QColor rms{0xff, 0xff, 0xff, 0x60};

    bool operator==(const MeterColors&) const = default;
};

} // namespace corvane
