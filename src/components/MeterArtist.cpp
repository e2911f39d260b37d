#include "components/MeterArtist.h"

#include "components/ScaleText.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmapCache>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

constexpr int kMargin = 1;
constexpr int kTickLength = 3;
constexpr int kMinBarThickness = 3;

QPixmap blankPixmap(QSize size, qreal dpr, const QColor& fill) {
    QPixmap pixmap(size * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(fill);
    return pixmap;
}

} // namespace

MeterArtist::MeterArtist(int style, const MeterScaleMap& scale, const MeterColors& colors,
                         const QFont& font)
    : m_style(style == MeterStyleGradient ? MeterStyleGradient : MeterStyleLed), m_scale(scale),
      m_colors(colors), m_font(font) {}

MeterLayout MeterArtist::layoutFor(QSize size, int centerPad) const {
    MeterLayout layout;
    layout.vertical = size.height() > size.width();
    const ScaleTextSize fm = MeasureScaleText(m_font, QStringLiteral("-60"));
    const int labelWidth = fm.width;
    const int pad = std::max(0, centerPad);

    // Across the bars: room for two bars and the pad, plus the scale when it fits.
    const int across = layout.vertical ? size.width() : size.height();
    const int along = layout.vertical ? size.height() : size.width();
    const int scaleAcross = layout.vertical ? labelWidth + kTickLength + 3 : fm.height + 3;
    const bool withScale =
        across - scaleAcross - 2 * kMargin >= 2 * kMinBarThickness + pad && along >= 4 * fm.height;
    const int scaleSpan = withScale ? scaleAcross : 0;
    // Along the bars: leave half a label at each end so end labels are not cut off.
    const int inset =
        withScale ? (layout.vertical ? fm.height / 2 + 1 : labelWidth / 2 + 1) : kMargin;

    const int barsAcross = std::max(0, across - scaleSpan - 2 * kMargin);
    const int usablePad = std::min(pad, std::max(0, barsAcross - 2));
    const int thickness = std::max(0, (barsAcross - usablePad) / 2);
    const int length = std::max(0, along - 2 * inset);

    for (int ch = 0; ch < 2; ++ch) {
        const int offset = scaleSpan + kMargin + ch * (thickness + usablePad);
        layout.bars[ch] = layout.vertical ? QRect(offset, inset, thickness, length)
                                          : QRect(inset, kMargin + ch * (thickness + usablePad),
                                                  length, thickness);
    }
    if (withScale) {
        layout.scale = layout.vertical
                           ? QRect(0, 0, scaleSpan, size.height())
                           : QRect(0, size.height() - scaleSpan, size.width(), scaleSpan);
    }
    return layout;
}

int MeterArtist::segmentPitch(int length) const {
    return length >= 120 ? 4 : 3;
}

int MeterArtist::segmentGap(int) const {
    return 1;
}

int MeterArtist::extentFor(double db, int length) const {
    if (length <= 0) {
        return 0;
    }
    const double exact = m_scale.fractionForDb(db) * length;
    if (m_style == MeterStyleGradient) {
        return std::clamp(int(std::lround(exact)), 0, length);
    }
    const int pitch = segmentPitch(length);
    const int segments = length / pitch;
    const int lit = std::clamp(int(std::floor(exact / pitch + 0.5)), 0, segments);
    return lit == 0 ? 0 : lit * pitch - segmentGap(length);
}

int MeterArtist::holdThickness(int length) const {
    return m_style == MeterStyleGradient ? 2 : segmentPitch(length) - segmentGap(length);
}

QColor MeterArtist::zoneColor(double fraction, bool lit) const {
    if (fraction >= m_scale.fractionForDb(m_scale.dangerDb())) {
        return lit ? m_colors.danger : m_colors.dangerDim;
    }
    if (fraction >= m_scale.fractionForDb(m_scale.warningDb())) {
        return lit ? m_colors.warning : m_colors.warningDim;
    }
    return lit ? m_colors.safe : m_colors.safeDim;
}

void MeterArtist::paintBar(QPainter& painter, const QRect& bar, bool vertical, bool lit) const {
    const int length = vertical ? bar.height() : bar.width();
    if (length <= 0 || bar.isEmpty()) {
        return;
    }
    if (m_style == MeterStyleLed) {
        const int pitch = segmentPitch(length);
        const int thick = pitch - segmentGap(length);
        for (int i = 0; i < length / pitch; ++i) {
            const double centre = (i * pitch + thick / 2.0) / length;
            painter.fillRect(MeterLayout::alongBar(bar, vertical, i * pitch, thick),
                             zoneColor(centre, lit));
        }
        return;
    }
    const double warn = m_scale.fractionForDb(m_scale.warningDb());
    const double danger = m_scale.fractionForDb(m_scale.dangerDb());
    QLinearGradient gradient = vertical ? QLinearGradient(0, bar.bottom() + 1, 0, bar.top())
                                        : QLinearGradient(bar.left(), 0, bar.right() + 1, 0);
    const QColor safe = lit ? m_colors.safe : m_colors.safeDim;
    const QColor warning = lit ? m_colors.warning : m_colors.warningDim;
    const QColor hot = lit ? m_colors.danger : m_colors.dangerDim;
    gradient.setColorAt(0.0, safe.darker(lit ? 130 : 100));
    gradient.setColorAt(std::max(0.0, warn - 0.03), safe);
    gradient.setColorAt(warn, warning);
    gradient.setColorAt(std::max(warn, danger - 0.02), warning);
    gradient.setColorAt(danger, hot);
    gradient.setColorAt(1.0, hot);
    painter.fillRect(bar, gradient);
}

void MeterArtist::paintScale(QPainter& painter, const MeterLayout& layout) const {
    if (layout.scale.isEmpty()) {
        return;
    }
    painter.setFont(m_font);
    const QFontMetrics fm(m_font);
    const QRect& bar = layout.bars[0];
    const int length = layout.length();
    QRect lastLabel;
    // Side by side, minus signs run into the next label unless there is a clear gap.
    const int gap = layout.vertical ? 1 : 4;
    for (const auto& mark : m_scale.marks()) {
        const int at = int(std::lround(m_scale.fractionForDb(mark.db) * length));
        const int textWidth = fm.horizontalAdvance(mark.label);
        QRect tick;
        QRect label;
        if (layout.vertical) {
            const int y = std::min(bar.bottom(), bar.bottom() + 1 - at);
            const int tickRight = layout.scale.right() - 1;
            tick = QRect(tickRight - kTickLength + 1, y, kTickLength, 1);
            label = QRect(tick.left() - 2 - textWidth, y - fm.height() / 2, textWidth, fm.height());
        } else {
            const int x = std::min(bar.right(), bar.left() + at);
            tick = QRect(x, layout.scale.top(), 1, kTickLength - 1);
            const int left = std::clamp(x - textWidth / 2, 0, layout.scale.right() - textWidth);
            label = QRect(left, layout.scale.top() + kTickLength - 1, textWidth, fm.height());
        }
        painter.fillRect(tick, m_colors.scaleTick);
        // Labels are placed from the top of the scale down; one that would touch the last
        // placed label is left out, so small meters keep the marks that matter most.
        if (!lastLabel.isNull() && label.adjusted(-gap, -1, gap, 1).intersects(lastLabel)) {
            continue;
        }
        painter.setPen(m_colors.scaleText);
        painter.drawText(label, Qt::AlignCenter, mark.label);
        lastLabel = label;
    }
}

QPixmap MeterArtist::background(const MeterLayout& layout, QSize size, qreal dpr) const {
    QPixmap pixmap = blankPixmap(size, dpr, m_colors.background);
    QPainter painter(&pixmap);
    for (const auto& bar : layout.bars) {
        paintBar(painter, bar, layout.vertical, false);
    }
    paintScale(painter, layout);
    return pixmap;
}

QPixmap MeterArtist::litBars(const MeterLayout& layout, QSize size, qreal dpr,
                             bool withCore) const {
    QPixmap pixmap = blankPixmap(size, dpr, m_colors.background);
    QPainter painter(&pixmap);
    for (const QRect& bar : layout.bars) {
        paintBar(painter, bar, layout.vertical, true);
        if (withCore) {
            painter.fillRect(MeterLayout::coreOf(bar, layout.vertical), m_colors.rms);
        }
    }
    return pixmap;
}

MeterArtist::Pixmaps MeterArtist::pixmaps(const MeterLayout& layout, QSize size, qreal dpr) const {
    Pixmaps set;
    const QString backgroundKey = cacheKey("bg", layout, size, dpr);
    if (!QPixmapCache::find(backgroundKey, &set.background)) {
        set.background = background(layout, size, dpr);
        QPixmapCache::insert(backgroundKey, set.background);
    }
    for (bool core : {false, true}) {
        const QString key = cacheKey(core ? "core" : "lit", layout, size, dpr);
        QPixmap& target = core ? set.litCore : set.lit;
        if (!QPixmapCache::find(key, &target)) {
            target = litBars(layout, size, dpr, core);
            QPixmapCache::insert(key, target);
        }
    }
    return set;
}

QString MeterArtist::cacheKey(const char* part, const MeterLayout& layout, QSize size,
                              qreal dpr) const {
    const auto rect = [](const QRect& r) {
        return QStringLiteral("%1,%2,%3,%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    };
    const MeterColors& c = m_colors;
    return QStringList{QStringLiteral("corvane-meter"),
                       QLatin1String(part),
                       QString::number(size.width()),
                       QString::number(size.height()),
                       QString::number(dpr),
                       QString::number(m_style),
                       QString::number(m_scale.kind()),
                       rect(layout.bars[0]),
                       rect(layout.bars[1]),
                       rect(layout.scale),
                       m_font.key(),
                       c.background.name(QColor::HexArgb),
                       c.rms.name(QColor::HexArgb),
                       c.safe.name(),
                       c.warning.name(),
                       c.danger.name(),
                       c.safeDim.name(),
                       c.warningDim.name(),
                       c.dangerDim.name(),
                       c.scaleText.name(),
                       c.scaleTick.name()}
        .join(QLatin1Char('/'));
}

} // namespace corvane
