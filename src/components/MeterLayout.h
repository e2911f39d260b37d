#pragma once

#include <QRect>

#include <cmath>

namespace corvane {

// Where the parts of a stereo meter go for a widget size, and the pieces of its bars in
// pixels: vertical when taller than wide, bars side by side with the scale on the left;
// otherwise bars stacked with the scale below. Positions along a bar run from its quiet end:
// the bottom of a vertical bar, the left of a horizontal one.
struct MeterLayout {
    bool vertical = true;
    QRect bars[2];
    QRect scale; // empty when there is no room for a scale

    int length() const { return vertical ? bars[0].height() : bars[0].width(); }
    int thickness() const { return vertical ? bars[0].width() : bars[0].height(); }

    // The piece of a bar (or of any band running the same way) from `from` pixels along it,
    // `size` pixels long, across its whole thickness.
    static QRect alongBar(const QRect& bar, bool vertical, int from, int size) {
        return vertical ? QRect(bar.left(), bar.bottom() + 1 - from - size, bar.width(), size)
                        : QRect(bar.left() + from, bar.top(), size, bar.height());
    }
    // The same piece of one channel's bar.
    QRect along(int channel, int from, int size) const {
        return alongBar(bars[channel], vertical, from, size);
    }
    // Both bars and the pad between them, from `from` to `to` pixels along.
    QRect across(int from, int to) const {
        return alongBar(bars[0].united(bars[1]), vertical, from, to - from);
    }
    // The part of across(from, to) that is not the lit channel's bar: the pad and the other
    // bar, one rectangle since the bars lie side by side.
    QRect beside(int litChannel, int from, int to) const;
    // The middle third of a piece of a bar, across its thickness, where the RMS core is drawn.
    static QRect coreOf(const QRect& span, bool vertical);

    // A rectangle in layout pixels as device pixels at the ratio. Every edge is rounded on
    // its own, so two pieces that share an edge in layout pixels share it in device pixels
    // too: at a ratio like 1.5 the pieces of a frame meet without a gap or an overlap.
    static QRect toDevice(const QRect& logical, qreal dpr) {
        const auto at = [dpr](int v) { return int(std::lround(v * dpr)); };
        return QRect(QPoint(at(logical.left()), at(logical.top())),
                     QPoint(at(logical.right() + 1) - 1, at(logical.bottom() + 1) - 1));
    }
};

} // namespace corvane
