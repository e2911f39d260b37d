#pragma once

#include <QFont>
#include <QString>

namespace corvane {

// The size of a scale label in a font: the width of the sample text and the font's height.
struct ScaleTextSize {
    int width = 0;
    int height = 0;
};

// Meters and faders lay themselves out again at every size and font they are given, and a
// panel's hundreds of them share a few fonts: measuring text costs far more than finding the
// font among the few measured last. Widgets' thread only.
ScaleTextSize MeasureScaleText(const QFont& font, const QString& sample);

} // namespace corvane
