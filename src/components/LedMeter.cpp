#include "components/LedMeter.h"

#include "components/ComponentFont.h"
#include "support/ColorNumber.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <limits>

namespace corvane {

namespace {

QFont scaleFont(const QFont& base) {
    return scaledFont(base, 0.75);
}

} // namespace

LedMeter::LedMeter(QWidget* parent)
    : QWidget(parent), m_clock(&MeterTick::nowMs),
      m_artist(m_style, MeterScaleMap(m_scaleCode), m_colors, scaleFont(font())) {
    // Every pixel is painted from the cached background, so Qt need not erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    applyDrawableRange();
    m_layout = m_artist.layoutFor(size(), m_centerPad);
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

qint32 LedMeter::BackColor() const {
    return numberFromColor(m_colors.background);
}

void LedMeter::setBackColor(qint32 colorNumber) {
    MeterColors colors = m_colors;
    colors.background = colorFromNumber(colorNumber);
    setColors(colors);
}

qint32 LedMeter::ForeColor() const {
    return numberFromColor(m_colors.scaleText);
}

void LedMeter::setForeColor(qint32 colorNumber) {
    MeterColors colors = m_colors;
    colors.scaleText = colorFromNumber(colorNumber);
    setColors(colors);
}

void LedMeter::SetPeakLevels(qint32 left, qint32 right) {
    const qint64 now = m_clock();
    noteReading(now);
    if (left == m_peak[0].reading() && right == m_peak[1].reading() && m_peak[0].settled() &&
        m_peak[1].settled()) {
        return;
    }
    m_peak[0].setReading(left, now);
    m_peak[1].setReading(right, now);
    wakeIfShown();
}

void LedMeter::setRmsLevels(qint32 left, qint32 right) {
    const qint64 now = m_clock();
    noteReading(now);
    if (m_hasRms && left == m_rms[0].reading() && right == m_rms[1].reading() &&
        m_rms[0].settled() && m_rms[1].settled()) {
        return;
    }
    m_hasRms = true;
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

void LedMeter::noteReading(qint64 nowMs) {
    m_lastReadingMs = nowMs;
    if (!m_live) {
        m_live = true;
        wakeIfShown(); // the tick watches for the readings to stop
    }
    if (m_noData) {
        m_noData = false;
        update(m_layout.across(0, m_layout.length()));
    }
}

void LedMeter::fallIfStale(qint64 nowMs) {
    if (!m_live || nowMs - m_lastReadingMs <= kStaleAfterMs) {
        return;
    }
    m_live = false;
    for (auto* ballistics : {&m_peak[0], &m_peak[1], &m_rms[0], &m_rms[1]}) {
        ballistics->goSilentAt(m_lastReadingMs + kStaleAfterMs);
    }
}

bool LedMeter::showsSilence() const {
    const auto silent = [](const MeterBallistics& b) {
        return b.reading() == MeterBallistics::kSilence;
    };
    return silent(m_peak[0]) && silent(m_peak[1]) &&
           (!m_hasRms || (silent(m_rms[0]) && silent(m_rms[1])));
}

void LedMeter::showNoData() {
    if (markNoData()) {
        update(m_layout.across(0, m_layout.length()));
    }
}

bool LedMeter::markNoData() {
    if (m_noData) {
        return false;
    }
    m_noData = true;
    m_live = false;
    const qint64 now = m_clock();
    for (auto* ballistics : {&m_peak[0], &m_peak[1], &m_rms[0], &m_rms[1]}) {
        ballistics->reset(now);
    }
    refreshBars(false);
    return true;
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
    // The bars may have a new length: what they show is worked out again for it now, so that
    // the next paint, whatever it covers, draws them to the new layout.
    refreshBars(false);
    update();
}

void LedMeter::ensureCache() {
    if (m_cacheValid) {
        return;
    }
    const qreal dpr = devicePixelRatioF();
    m_pixmaps = m_artist.pixmaps(m_layout, size(), dpr);
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
    // A live meter keeps ticking, so that it falls once its readings stop; one that reads
    // silence has nowhere to fall.
    return refreshBars(true) || (m_live && !showsSilence());
}

namespace {

// Widens [lo, hi) to hold the pixels between an old and a new position along a bar.
void widen(int& lo, int& hi, int before, int after, int reach) {
    if (before != after) {
        lo = std::min({lo, before - reach, after - reach});
        hi = std::max({hi, before, after});
    }
}

} // namespace

bool LedMeter::refreshBars(bool invalidate) {
    const qint64 now = m_clock();
    fallIfStale(now);
    const int holdThickness = m_artist.holdThickness(m_layout.length());
    bool moving = false;
    int lo = std::numeric_limits<int>::max();
    int hi = std::numeric_limits<int>::min();
    for (int ch = 0; ch < 2; ++ch) {
        m_peak[ch].advance(now);
        m_rms[ch].advance(now);
        moving = moving || !m_peak[ch].settled() || (m_hasRms && !m_rms[ch].settled());
        const BarPaint next = barPaintFor(ch);
        const BarPaint& drawn = m_drawn[ch];
        widen(lo, hi, drawn.extent, next.extent, 1); // the level line sits on the last pixel
        widen(lo, hi, drawn.hold, next.hold, holdThickness);
        widen(lo, hi, drawn.rms, next.rms, 0);
        m_drawn[ch] = next;
    }
    // One rectangle across both bars: a single clip rectangle lets the raster engine copy
    // the pixmaps directly, and the window's dirty region grows by one rectangle per meter.
    if (invalidate && hi > lo) {
        update(m_layout.across(0, m_layout.length()));
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

void LedMeter::blit(QPainter& painter, const QPixmap& from, const QRect& logical) const {
    // The painter works in device pixels and all cached pixmaps lie on the widget's own pixel
    // grid, so a piece is a plain copy of the same device pixels.
    const QRect device = toDevice(logical);
    if (!device.isEmpty()) {
        painter.drawPixmap(device, from, device);
    }
}

void LedMeter::paintBars(QPainter& painter) const {
    // Zones along the bars: both lit up to the lower bar, one lit up to the higher one, the
    // ground above. Each zone is one copy across both bars, because a narrow bar costs a copy
    // call per scanline.
    const int length = m_layout.length();
    const int lower = std::min(m_drawn[0].extent, m_drawn[1].extent);
    const int upper = std::max(m_drawn[0].extent, m_drawn[1].extent);
    const int higher = m_drawn[0].extent >= m_drawn[1].extent ? 0 : 1;
    blit(painter, m_pixmaps.background, m_layout.across(upper, length));
    blit(painter, m_pixmaps.lit, m_layout.across(0, lower));
    if (upper > lower) {
        blit(painter, m_pixmaps.lit, m_layout.along(higher, lower, upper - lower));
        blit(painter, m_pixmaps.background, m_layout.beside(higher, lower, upper));
    }
    const int holdThickness = m_artist.holdThickness(length);
    for (int ch = 0; ch < 2; ++ch) {
        const BarPaint& paint = m_drawn[ch];
        if (paint.rms > 0) {
            blit(painter, m_pixmaps.litCore,
                 m_layout.along(ch, 0, std::min(paint.rms, paint.extent)));
        }
        if (paint.rms > paint.extent) {
            // A core above the peak bar is rare (RMS lags a falling peak); blend it here.
            painter.fillRect(
                toDevice(MeterLayout::coreOf(
                    m_layout.along(ch, paint.extent, paint.rms - paint.extent), m_layout.vertical)),
                m_colors.rms);
        }
        if (paint.hold > paint.extent) {
            blit(painter, m_pixmaps.lit,
                 m_layout.along(ch, std::max(0, paint.hold - holdThickness),
                                std::min(holdThickness, paint.hold)));
        }
        if (paint.extent > 0) {
            painter.fillRect(toDevice(m_layout.along(ch, paint.extent - 1, 1)), m_levelLine);
        }
    }
}

void LedMeter::paintEvent(QPaintEvent* event) {
    // A pixel ratio that changed without a screen change being announced (a window dragged
    // across screens on some desktops) is caught here.
    if (devicePixelRatioF() != m_cacheDpr) {
        m_cacheValid = false;
    }
    ensureCache();
    const QRect dirty = event->rect();
    // A full repaint (first show, a grab while hidden) brings the bars up to the clock first;
    // a partial one paints what the tick decided, so bars outside the dirty area stay
    // consistent with what was drawn before.
    if (dirty.contains(rect())) {
        refreshBars(false);
    }
    QPainter painter(this);
    painter.setWorldTransform(QTransform::fromScale(1.0 / m_cacheDpr, 1.0 / m_cacheDpr));
    // The window system rounds a dirty area to device pixels its own way; the ground around
    // the bars is painted one device pixel beyond them, so no pixel it adds is left stale.
    const QRect bars = toDevice(m_layout.across(0, m_layout.length()));
    const QRegion ground =
        QRegion(toDevice(dirty).united(bars.adjusted(-1, -1, 1, 1))).subtracted(bars);
    for (const QRect& piece : ground) {
        painter.drawPixmap(piece, m_pixmaps.background, piece);
    }
    paintBars(painter);
    if (m_noData) {
        paintNoDataMark(painter);
    }
}

void LedMeter::paintNoDataMark(QPainter& painter) const {
    // Hatched across both bars: unlike a silent meter, one without data says so at a glance.
    const QRect bars = toDevice(m_layout.across(0, m_layout.length()));
    QColor hatch = m_colors.scaleText;
    hatch.setAlpha(150);
    painter.fillRect(bars, QBrush(hatch, Qt::BDiagPattern));
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

bool LedMeter::event(QEvent* event) {
    // On another screen the pixel ratio may differ: the cached pixmaps are drawn again for it.
    if (event->type() == QEvent::ScreenChangeInternal) {
        m_cacheValid = false;
        update();
    }
    return QWidget::event(event);
}

} // namespace corvane
