#pragma once

#include "components/MeterColors.h"
#include "components/MeterScaleMap.h"

#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QSize>

namespace corvane {

// Where the parts of a stereo meter go for a widget size: vertical when taller than wide,
// bars side by side with the scale on the left; otherwise bars stacked with the scale below.
struct MeterLayout {
    bool vertical = true;
    QRect bars[2];
    QRect scale; // empty when there is no room for a scale
    int length() const { return vertical ? bars[0].height() : bars[0].width(); }
    int thickness() const { return vertical ? bars[0].width() : bars[0].height(); }
};

// Draws the parts of a meter that do not move (ground, unlit segments or dim gradient,
// scale) and the lit bar, once per size and style; a frame then only copies pieces of them.
// Also says how far along a bar a level reaches, snapped to whole segments in the led style.
class MeterArtist {
public:
    MeterArtist(int style, const MeterScaleMap& scale, const MeterColors& colors,
                const QFont& font);

    MeterLayout layoutFor(QSize size, int centerPad) const;

    // Pixels lit from the start of a bar of the given length for a level in dB.
    int extentFor(double db, int length) const;
    // Thickness of a peak-hold marker along the bar.
    int holdThickness(int length) const;

    QPixmap background(const MeterLayout& layout, QSize size, qreal dpr) const;
    // The whole meter with both bars lit. It lies on the same pixel grid as the background, so
    // that any piece of one can replace the same piece of the other without a seam at any
    // pixel ratio. With the core, the RMS reading is laid over the bars' middle thirds.
    QPixmap litBars(const MeterLayout& layout, QSize size, qreal dpr, bool withCore) const;
    // The middle third of a bar, across its thickness, where the RMS core is drawn.
    static QRect coreOf(const QRect& span, bool vertical);

private:
    int segmentPitch(int length) const;
    int segmentGap(int length) const;
    void paintBar(QPainter& painter, const QRect& bar, bool vertical, bool lit) const;
    void paintScale(QPainter& painter, const MeterLayout& layout) const;
    QColor zoneColor(double fraction, bool lit) const;

    MeterStyleCode m_style;
    MeterScaleMap m_scale;
    MeterColors m_colors;
    QFont m_font;
};

} // namespace corvane
