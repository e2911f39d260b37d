#include "components/GainFader.h"

#include "components/ComponentFont.h"
#include "components/ScaleText.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScopedValueRollback>

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

// Far beyond any gain, and far from the integer limits the slider computes with.
constexpr double kMaxTenths = 1'000'000;

const QColor kTrack(0x05, 0x05, 0x05);
const QColor kTrackEdge(0x4a, 0x4a, 0x4a);
const QColor kNominal(0xff, 0xa5, 0x1f);

int tenthsOf(float db) {
    return int(
        std::lround(std::clamp(double(db) * GainFader::kTenthsPerDb, -kMaxTenths, kMaxTenths)));
}

// A colour part way from the ground to the text colour, for the quieter parts of the scale.
QColor towards(const QColor& ground, const QColor& text, double share) {
    auto mix = [share](int a, int b) { return int(std::lround(a + (b - a) * share)); };
    return QColor(mix(ground.red(), text.red()), mix(ground.green(), text.green()),
                  mix(ground.blue(), text.blue()));
}

} // namespace

GainFader::GainFader(QWidget* parent) : QAbstractSlider(parent) {
    // The ground, track, scale and cap cover every pixel.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setOrientation(Qt::Vertical);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::SizeVerCursor);
    setSingleStep(kSingleStepTenths);
    setPageStep(kPageStepTenths);
    setGainRange(-80.0f, 10.0f);
    relayout();
}

void GainFader::setGainRange(float minimumDb, float maximumDb) {
    if (std::isnan(minimumDb) || std::isnan(maximumDb)) {
        return;
    }
    if (minimumDb > maximumDb) {
        std::swap(minimumDb, maximumDb);
    }
    const QScopedValueRollback placing(m_programIsPlacing, true);
    setRange(tenthsOf(minimumDb), tenthsOf(maximumDb));
    // A gain the old range had pinned is drawn where it belongs in the new one.
    setValue(tenthsOf(m_gain));
}

void GainFader::setGain(float db) {
    if (std::isnan(db)) {
        return;
    }
    m_gain = db;
    placeByProgram(tenthsOf(db));
}

void GainFader::placeByProgram(int tenths) {
    const QScopedValueRollback placing(m_programIsPlacing, true);
    setValue(tenths);
}

void GainFader::setNominal(float db) {
    if (std::isnan(db) || db == m_nominal) {
        return;
    }
    m_nominal = db;
    update();
}

void GainFader::sliderChange(SliderChange change) {
    QAbstractSlider::sliderChange(change);
    if (change == SliderValueChange && !m_programIsPlacing) {
        m_gain = float(value()) / kTenthsPerDb;
        emit gainChangedByOperator(m_gain);
    }
}

QSize GainFader::sizeHint() const {
    return {40, 160};
}

QSize GainFader::minimumSizeHint() const {
    return {16, 48};
}

void GainFader::relayout() {
    m_scaleFont = scaledFont(font(), 0.75);
    Geometry g;
    g.capHeight = std::clamp(height() / 10, 12, 26);
    g.travelTop = g.capHeight / 2 + 1;
    g.travelBottom = std::max(g.travelTop + 1, height() - g.capHeight / 2 - 2);
    const int wanted = MeasureScaleText(m_scaleFont, QStringLiteral("-80")).width + 3;
    g.labelWidth = width() - wanted >= 16 ? wanted : 0;
    g.trackX = g.labelWidth + (width() - g.labelWidth) / 2;
    g.capWidth = std::max(0, std::min(width() - g.labelWidth - 2, 30));
    m_geometry = g;
    update();
}

void GainFader::resizeEvent(QResizeEvent* event) {
    QAbstractSlider::resizeEvent(event);
    relayout();
}

void GainFader::changeEvent(QEvent* event) {
    QAbstractSlider::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        relayout();
    }
}

int GainFader::positionFor(int tenths) const {
    const double span = double(maximum()) - minimum();
    const double fraction = span > 0 ? std::clamp((tenths - minimum()) / span, 0.0, 1.0) : 0.0;
    const Geometry& g = m_geometry;
    return int(std::lround(g.travelBottom - fraction * (g.travelBottom - g.travelTop)));
}

int GainFader::tenthsAt(int y) const {
    const Geometry& g = m_geometry;
    const int travel = g.travelBottom - g.travelTop;
    const double fraction =
        travel > 0 ? std::clamp(double(g.travelBottom - y) / travel, 0.0, 1.0) : 0.0;
    return minimum() + int(std::lround(fraction * (double(maximum()) - minimum())));
}

QRect GainFader::capRect() const {
    const Geometry& g = m_geometry;
    return {g.trackX - g.capWidth / 2, positionFor(sliderPosition()) - g.capHeight / 2, g.capWidth,
            g.capHeight};
}

void GainFader::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    const int y = int(event->position().y());
    const QRect cap = capRect();
    if (y < cap.top() || y > cap.bottom()) {
        // As on any slider, a press above or below the cap moves one page step towards the
        // pointer: a stray click must never throw a live channel to where the pointer is.
        triggerAction(y < cap.top() ? SliderPageStepAdd : SliderPageStepSub);
        return;
    }
    // Held by the cap, the fader keeps its place under the pointer as it is dragged.
    m_lastDragY = y;
    m_grabOffset = y - cap.center().y();
    setSliderDown(true);
}

void GainFader::mouseMoveEvent(QMouseEvent* event) {
    const int y = int(event->position().y());
    // Only real movement counts, so grabbing the cap never rounds a gain the Core set.
    if (!isSliderDown() || y == m_lastDragY) {
        return;
    }
    m_lastDragY = y;
    setSliderPosition(tenthsAt(y - m_grabOffset));
}

void GainFader::keyPressEvent(QKeyEvent* event) {
    // A stray Home or End would throw a live channel to full gain or to silence in one press;
    // on air a fader only moves in steps.
    if (event->key() == Qt::Key_Home || event->key() == Qt::Key_End) {
        event->ignore();
        return;
    }
    QAbstractSlider::keyPressEvent(event);
}

void GainFader::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isSliderDown()) {
        setSliderDown(false);
    }
}

void GainFader::paintScale(QPainter& painter) const {
    const Geometry& g = m_geometry;
    const QColor ground = palette().color(QPalette::Window);
    const QColor text = palette().color(QPalette::WindowText);
    const QColor labelColor = towards(ground, text, 0.76);
    const QColor tickColor = towards(ground, text, 0.38);
    const QFontMetrics fm(m_scaleFont);
    painter.setFont(m_scaleFont);
    int lastLabelTop = -1000;
    for (int db : {10, 5, 0, -5, -10, -20, -30, -40, -50, -60, -70, -80}) {
        const int tenths = db * kTenthsPerDb;
        if (tenths < minimum() || tenths > maximum()) {
            continue;
        }
        const int y = positionFor(tenths);
        painter.fillRect(QRect(g.trackX - 9, y, 5, 1), tickColor);
        painter.fillRect(QRect(g.trackX + 5, y, 5, 1), tickColor);
        if (g.labelWidth > 0 && y - fm.height() / 2 >= lastLabelTop + fm.height()) {
            painter.setPen(labelColor);
            painter.drawText(QRect(0, y - fm.height() / 2, g.labelWidth - 2, fm.height()),
                             Qt::AlignRight | Qt::AlignVCenter, QString::number(db));
            lastLabelTop = y - fm.height() / 2;
        }
    }
    const int nominal = tenthsOf(m_nominal);
    if (nominal >= minimum() && nominal <= maximum()) {
        const int y = positionFor(nominal);
        painter.fillRect(QRect(g.trackX - 11, y, 22, 1), kNominal);
        QPainterPath arrow;
        arrow.moveTo(g.trackX + 11, y - 3);
        arrow.lineTo(g.trackX + 11, y + 4);
        arrow.lineTo(g.trackX + 8, y + 0.5);
        arrow.closeSubpath();
        painter.fillPath(arrow, kNominal);
    }
}

void GainFader::paintCap(QPainter& painter) const {
    const QRect cap = capRect();
    // Without a known gain the fader takes no input, and its cap is dimmed to say so.
    const bool live = isEnabled();
    const int dim = live ? 100 : 190;
    QLinearGradient body(cap.topLeft(), cap.bottomLeft());
    body.setColorAt(0.0, QColor(0xe6, 0xe6, 0xe6).darker(dim));
    body.setColorAt(0.45, QColor(0xa8, 0xa8, 0xa8).darker(dim));
    body.setColorAt(0.55, QColor(0x8c, 0x8c, 0x8c).darker(dim));
    body.setColorAt(1.0, QColor(0x5c, 0x5c, 0x5c).darker(dim));
    painter.setPen(QColor(0x22, 0x22, 0x22));
    painter.setBrush(body);
    painter.drawRoundedRect(QRectF(cap).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    // The index line across the middle is what the operator reads against the scale.
    painter.fillRect(QRect(cap.left() + 2, cap.center().y(), cap.width() - 4, 1),
                     live ? Qt::white : QColor(0x60, 0x60, 0x60));
    if (hasFocus()) {
        painter.setPen(QColor(0x4d, 0xa3, 0xff));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(cap).adjusted(-0.5, -0.5, 0.5, 0.5), 2, 2);
    }
}

void GainFader::paintEvent(QPaintEvent*) {
    const Geometry& g = m_geometry;
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    const QRect track(g.trackX - 2, g.travelTop - 2, 4, g.travelBottom - g.travelTop + 4);
    painter.fillRect(track, kTrack);
    painter.setPen(kTrackEdge);
    painter.drawRect(track.adjusted(0, 0, -1, -1));
    paintScale(painter);
    painter.setRenderHint(QPainter::Antialiasing);
    paintCap(painter);
}

} // namespace corvane
