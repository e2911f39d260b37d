#include "components/LedMeter.h"

#include "support/ColorNumber.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmapCache>

#include <algorithm>

namespace corvane {

namespace {

QFont scaleFont(const QFont& base) {
    QFont font(base);
    font.setPixelSize(9);
    return font;
}

// Identical meters (a panel usually has many of one size) share one set of cached pixmaps.
QString cacheKey(const char* part, QSize size, qreal dpr, int style, int scale, int pad,
                 const MeterColors& c, const QFont& font) {
    return QStringLiteral("corvane-meter/%1/%2x%3@%4/%5/%6/%7/%8/%9")
        .arg(QLatin1String(part))
        .arg(size.width())
        .arg(size.height())
        .arg(dpr)
        .arg(style)
        .arg(scale)
        .arg(pad)
        .arg(font.key())
        .arg(QStringList{c.background.name(QColor::HexArgb), c.safe.name(), c.warning.name(),
                         c.danger.name(), c.safeDim.name(), c.warningDim.name(),
                         c.dangerDim.name(), c.scaleText.name(), c.scaleTick.name()}
                 .join(QLatin1Char(',')));
}

} // namespace

LedMeter::LedMeter(QWidget* parent)
    : QWidget(parent), m_clock(&MeterTick::nowMs),
      m_artist(m_style, MeterScaleMap(m_scaleCode), m_colors, scaleFont(font())) {
    // Every pixel is painted from the cached background, so Qt need not erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    applyDrawableRange();
}

LedMeter::~LedMeter() = default;

void LedMeter::setMeterStyle(int style) {
    if (style == m_style) {
        return;
    }
    m_style = style;
    invalidateCache();
}

void LedMeter::setMeterScale(int scale) {
    if (scale == m_scaleCode) {
        return;
    }
    m_scaleCode = scale;
    applyDrawableRange();
    invalidateCache();
}

void LedMeter::setLevelLineColor(qint32 colorNumber) {
    if (colorNumber == m_levelLineColor) {
        return;
    }
    m_levelLineColor = colorNumber;
    m_levelLine = colorFromNumber(colorNumber);
    update(m_layout.bars[0].united(m_layout.bars[1]));
}

void LedMeter::setDecayRate(int decayRate) {
    if (decayRate == m_decayRate) {
        return;
    }
    m_decayRate = decayRate;
    for (auto* ballistics : {&m_peak[0], &m_peak[1], &m_rms[0], &m_rms[1]}) {
        ballistics->setDecayDbPerSecond(decayRate);
    }
}

void LedMeter::setCenterPad(int pixels) {
    if (pixels == m_centerPad) {
        return;
    }
    m_centerPad = pixels;
    invalidateCache();
}

void LedMeter::setPeakHoldMs(int ms) {
    if (ms == m_peak[0].peakHoldMs()) {
        return;
    }
    m_peak[0].setPeakHoldMs(ms);
    m_peak[1].setPeakHoldMs(ms);
    wakeIfShown();
}

void LedMeter::setColors(const MeterColors& colors) {
    if (colors == m_colors) {
        return;
    }
    m_colors = colors;
    invalidateCache();
}

void LedMeter::SetPeakLevels(qint32 left, qint32 right) {
    if (left == m_peak[0].reading() && right == m_peak[1].reading() && m_peak[0].settled() &&
        m_peak[1].settled()) {
        return;
    }
    const qint64 now = m_clock();
    m_peak[0].setReading(left, now);
    m_peak[1].setReading(right, now);
    wakeIfShown();
}

void LedMeter::setRmsLevels(qint32 left, qint32 right) {
    if (m_hasRms && left == m_rms[0].reading() && right == m_rms[1].reading() &&
        m_rms[0].settled() && m_rms[1].settled()) {
        return;
    }
    m_hasRms = true;
    const qint64 now = m_clock();
    m_rms[0].setReading(left, now);
    m_rms[1].setReading(right, now);
    wakeIfShown();
}

void LedMeter::clearRms() {
    if (!m_hasRms) {
        return;
    }
    m_hasRms = false;
    wakeIfShown();
}

void LedMeter::setClock(Clock clock) {
    m_clock = clock ? std::move(clock) : Clock(&MeterTick::nowMs);
}

void LedMeter::advanceToNow() {
    refreshBars(true);
}

QSize LedMeter::sizeHint() const {
    return {40, 160};
}

QSize LedMeter::minimumSizeHint() const {
    return {8, 24};
}

void LedMeter::applyDrawableRange() {
    const MeterScaleMap scale(m_scaleCode);
    for (auto* ballistics : {&m_peak[0], &m_peak[1], &m_rms[0], &m_rms[1]}) {
        ballistics->setDrawableRange(scale.floorDb(), scale.ceilingDb());
    }
}

void LedMeter::invalidateCache() {
    m_artist = MeterArtist(m_style, MeterScaleMap(m_scaleCode), m_colors, scaleFont(font()));
    m_layout = m_artist.layoutFor(size(), m_centerPad);
    m_cacheValid = false;
    update();
}

void LedMeter::ensureCache() {
    const qreal dpr = devicePixelRatioF();
    if (m_cacheValid && dpr == m_cacheDpr) {
        return;
    }
    const QFont font = scaleFont(this->font());
    const QString bgKey =
        cacheKey("bg", size(), dpr, m_style, m_scaleCode, m_centerPad, m_colors, font);
    if (!QPixmapCache::find(bgKey, &m_background)) {
        m_background = m_artist.background(m_layout, size(), dpr);
        QPixmapCache::insert(bgKey, m_background);
    }
    const QString litKey =
        cacheKey("lit", size(), dpr, m_style, m_scaleCode, m_centerPad, m_colors, font);
    if (!QPixmapCache::find(litKey, &m_lit)) {
        m_lit = m_artist.litBar(m_layout, dpr);
        QPixmapCache::insert(litKey, m_lit);
    }
    m_cacheDpr = dpr;
    m_cacheValid = true;
}

void LedMeter::wakeIfShown() {
    if (isVisible()) {
        MeterTick::instance().wake(this);
    }
}

bool LedMeter::onMeterTick() {
    if (!isVisible()) {
        return false;
    }
    return refreshBars(true);
}

bool LedMeter::refreshBars(bool invalidate) {
    const qint64 now = m_clock();
    bool moving = false;
    for (int ch = 0; ch < 2; ++ch) {
        m_peak[ch].advance(now);
        m_rms[ch].advance(now);
        moving = moving || !m_peak[ch].settled() || !m_rms[ch].settled();
        const BarPaint next = barPaintFor(ch);
        if (next != m_drawn[ch]) {
            m_drawn[ch] = next;
            if (invalidate) {
                update(m_layout.bars[ch]);
            }
        }
    }
    return moving;
}

LedMeter::BarPaint LedMeter::barPaintFor(int channel) const {
    const int length = m_layout.length();
    BarPaint paint;
    paint.extent = m_artist.extentFor(m_peak[channel].shownDb(), length);
    paint.hold = m_artist.extentFor(m_peak[channel].peakHoldDb(), length);
    paint.rms = m_hasRms ? m_artist.extentFor(m_rms[channel].shownDb(), length) : 0;
    return paint;
}

QRect LedMeter::alongBar(int channel, int from, int size) const {
    const QRect& bar = m_layout.bars[channel];
    return m_layout.vertical ? QRect(bar.left(), bar.bottom() + 1 - from - size, bar.width(), size)
                             : QRect(bar.left() + from, bar.top(), size, bar.height());
}

void LedMeter::drawBar(QPainter& painter, int channel) const {
    const BarPaint& paint = m_drawn[channel];
    const QRect& bar = m_layout.bars[channel];
    const qreal dpr = m_cacheDpr;
    auto copyLit = [&](const QRect& target) {
        if (target.isEmpty()) {
            return;
        }
        const QRectF source(QPointF(target.topLeft() - bar.topLeft()) * dpr,
                            QSizeF(target.size()) * dpr);
        painter.drawPixmap(QRectF(target), m_lit, source);
    };
    copyLit(alongBar(channel, 0, paint.extent));
    if (paint.hold > paint.extent) {
        const int thick = m_artist.holdThickness(m_layout.length());
        copyLit(alongBar(channel, std::max(0, paint.hold - thick), std::min(thick, paint.hold)));
    }
    if (paint.rms > 0) {
        const QRect full = alongBar(channel, 0, paint.rms);
        const int across = m_layout.thickness();
        const int core = std::max(1, across / 3);
        painter.fillRect(
            m_layout.vertical
                ? QRect(full.left() + (across - core) / 2, full.top(), core, full.height())
                : QRect(full.left(), full.top() + (across - core) / 2, full.width(), core),
            m_colors.rms);
    }
    if (paint.extent > 0) {
        painter.fillRect(alongBar(channel, paint.extent - 1, 1), m_levelLine);
    }
}

void LedMeter::paintEvent(QPaintEvent* event) {
    ensureCache();
    // A full repaint (first show, resize, grab) brings the bars up to date first; a partial
    // one paints what the tick decided, so bars outside the dirty area stay consistent.
    if (event->rect().contains(rect())) {
        refreshBars(false);
    }
    QPainter painter(this);
    const QRect dirty = event->rect();
    painter.drawPixmap(
        QRectF(dirty), m_background,
        QRectF(QPointF(dirty.topLeft()) * m_cacheDpr, QSizeF(dirty.size()) * m_cacheDpr));
    for (int ch = 0; ch < 2; ++ch) {
        if (m_layout.bars[ch].intersects(dirty)) {
            drawBar(painter, ch);
        }
    }
}

void LedMeter::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    invalidateCache();
}

void LedMeter::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    MeterTick::instance().wake(this);
}

void LedMeter::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        invalidateCache();
    }
}

} // namespace corvane
