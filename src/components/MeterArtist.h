#pragma once

#include "components/MeterColors.h"
#include "components/MeterLayout.h"
#include "components/MeterScaleMap.h"

#include <QFont>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace corvane {

// Draws the parts of a meter that do not move (ground, unlit segments or dim gradient,
// scale) and the lit bar, once per size and style; a frame then only copies pieces of them.
// Also says how far along a bar a level reaches, snapped to whole segments in the led style.
class MeterArtist {
public:
    // What a frame copies from: the ground with the unlit bars and the scale, the bars fully
    // lit, and the bars fully lit with the RMS core. All lie on the same pixel grid, so that
    // any piece of one can replace the same piece of another without a seam at any pixel
    // ratio.
    struct Pixmaps {
        QPixmap background;
        QPixmap lit;
        QPixmap litCore;
    };

    MeterArtist(int style, const MeterScaleMap& scale, const MeterColors& colors,
                const QFont& font);

    MeterLayout layoutFor(QSize size, int centerPad) const;

    // Pixels lit from the start of a bar of the given length for a level in dB.
    int extentFor(double db, int length) const;
    // Thickness of a peak-hold marker along the bar.
    int holdThickness(int length) const;

    // The pixmaps of a meter of the layout and size at the pixel ratio. Identical meters (a
    // panel usually has many of one size) share one set, kept in the application's pixmap
    // cache; a set is drawn only when the cache does not hold it.
    Pixmaps pixmaps(const MeterLayout& layout, QSize size, qreal dpr) const;

private:
    QPixmap background(const MeterLayout& layout, QSize size, qreal dpr) const;
    // The whole meter with both bars lit; with the core, the RMS reading is laid over the
    // bars' middle thirds.
    QPixmap litBars(const MeterLayout& layout, QSize size, qreal dpr, bool withCore) const;
    // The name in the pixmap cache of one of the pixmaps: everything that decides its pixels.
    QString cacheKey(const char* part, const MeterLayout& layout, QSize size, qreal dpr) const;
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
