#include "components/GainFader.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

const QColor kTrack(0x05, 0x05, 0x05);
const QColor kTrackEdge(0x4a, 0x4a, 0x4a);
const QColor kScaleText(0xb8, 0xb8, 0xb8);
const QColor kScaleTick(0x6a, 0x6a, 0x6a);
const QColor kNominal(0xff, 0xa5, 0x1f);

QFont smallFont(const QFont& base) {
    QFont font(base);
    font.setPixelSize(9);
    return font;
}

} // namespace

GainFader::GainFader(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::SizeVerCursor);
}

void GainFader::setRange(float minimum, float maximum) {
    if (std::isnan(minimum) || std::isnan(maximum)) {
        return;
    }
    if (minimum > maximum) {
        std::swap(minimum, maximum);
    }
    if (minimum == m_minimum && maximum == m_maximum) {
        return;
    }
    m_minimum = minimum;
    m_maximum = maximum;
    update();
}

void GainFader::setValue(float value) {
    if (std::isnan(value) || value == m_value) {
        return;
    }
    m_value = value;
    update();
}

void GainFader::setNominal(float nominal) {
    if (std::isnan(nominal) || nominal == m_nominal) {
        return;
    }
    m_nominal = nominal;
    update();
}

void GainFader::setActive(bool active) {
    if (active == m_active) {
        return;
    }
    m_active = active;
    update();
}

QSize GainFader::sizeHint() const {
    return {40, 160};
}

QSize GainFader::minimumSizeHint() const {
    return {16, 48};
}

int GainFader::capHeight() const {
    return std::clamp(height() / 10, 12, 26);
}

int GainFader::travelTop() const {
    return capHeight() / 2 + 1;
}

int GainFader::travelBottom() const {
    return std::max(travelTop() + 1, height() - capHeight() / 2 - 2);
}

int GainFader::labelWidth() const {
    const QFontMetrics fm(smallFont(font()));
    const int wanted = fm.horizontalAdvance(QStringLiteral("-80")) + 3;
    return width() - wanted >= 16 ? wanted : 0;
}

int GainFader::trackX() const {
    return labelWidth() + (width() - labelWidth()) / 2;
}

int GainFader::positionFor(float value) const {
    const float span = m_maximum - m_minimum;
    const double fraction =
        span > 0 ? std::clamp(double(value - m_minimum) / span, 0.0, 1.0) : 0.0;
    return int(std::lround(travelBottom() - fraction * (travelBottom() - travelTop())));
}

float GainFader::valueAt(int y) const {
    const int travel = travelBottom() - travelTop();
    const double fraction =
        travel > 0 ? std::clamp(double(travelBottom() - y) / travel, 0.0, 1.0) : 0.0;
    return snapped(float(m_minimum + fraction * (m_maximum - m_minimum)));
}

float GainFader::snapped(float value) const {
    const float stepped = std::round(value / kStepDb) * kStepDb;
    return std::clamp(stepped, m_minimum, m_maximum);
}

QRect GainFader::capRect() const {
    const int capWidth = std::min(width() - labelWidth() - 2, 30);
    const int h = capHeight();
    return {trackX() - capWidth / 2, positionFor(m_value) - h / 2, capWidth, h};
}

void GainFader::operatorSet(float value) {
    if (value == m_value) {
        return;
    }
    m_value = value;
    update();
    emit operatorMoved(value);
}

void GainFader::operatorStep(float delta) {
    // A step starts from where the cap is drawn, so a value outside the range comes back in.
    const float from = std::clamp(m_value, m_minimum, m_maximum);
    emit operatorGrabbed();
    operatorSet(snapped(from + delta));
}

void GainFader::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const int y = int(event->position().y());
    const bool onCap = capRect().contains(event->position().toPoint());
    m_dragging = true;
    m_lastDragY = y;
    // Held by the cap, the fader keeps its place under the pointer; a press on the track
    // brings the cap to the pointer.
    m_grabOffset = onCap ? y - capRect().center().y() : 0;
    emit operatorGrabbed();
    if (!onCap) {
        operatorSet(valueAt(y));
    }
}

void GainFader::mouseMoveEvent(QMouseEvent* event) {
    const int y = int(event->position().y());
    // Only real movement counts, so grabbing the cap never rounds a gain the Core set.
    if (!m_dragging || y == m_lastDragY) {
        return;
    }
    m_lastDragY = y;
    operatorSet(valueAt(y - m_grabOffset));
}

void GainFader::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_dragging = false;
    }
}

void GainFader::wheelEvent(QWheelEvent* event) {
    // Touchpads send small deltas; whole notches of 120 make one step each.
    m_wheelRemainder += event->angleDelta().y();
    const int notches = m_wheelRemainder / 120;
    m_wheelRemainder %= 120;
    if (notches != 0) {
        const float step = (event->modifiers() & Qt::ShiftModifier) ? kStepDb : kFineStepDb;
        operatorStep(notches * step);
    }
    event->accept();
}

void GainFader::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
        operatorStep(kFineStepDb);
        break;
    case Qt::Key_Down:
        operatorStep(-kFineStepDb);
        break;
    case Qt::Key_PageUp:
        operatorStep(kCoarseStepDb);
        break;
    case Qt::Key_PageDown:
        operatorStep(-kCoarseStepDb);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void GainFader::paintScale(QPainter& painter) const {
    const QFont font = smallFont(this->font());
    const QFontMetrics fm(font);
    painter.setFont(font);
    const int labels = labelWidth();
    int lastLabelTop = -1000;
    for (int db : {10, 5, 0, -5, -10, -20, -30, -40, -50, -60, -70, -80}) {
        if (db < m_minimum || db > m_maximum) {
            continue;
        }
        const int y = positionFor(float(db));
        painter.fillRect(QRect(trackX() - 9, y, 5, 1), kScaleTick);
        painter.fillRect(QRect(trackX() + 5, y, 5, 1), kScaleTick);
        if (labels > 0 && y - fm.height() / 2 >= lastLabelTop + fm.height()) {
            painter.setPen(kScaleText);
            painter.drawText(QRect(0, y - fm.height() / 2, labels - 2, fm.height()),
                             Qt::AlignRight | Qt::AlignVCenter, QString::number(db));
            lastLabelTop = y - fm.height() / 2;
        }
    }
    if (m_nominal >= m_minimum && m_nominal <= m_maximum) {
        const int y = positionFor(m_nominal);
        painter.fillRect(QRect(trackX() - 11, y, 22, 1), kNominal);
        QPainterPath arrow;
        arrow.moveTo(trackX() + 11, y - 3);
        arrow.lineTo(trackX() + 11, y + 4);
        arrow.lineTo(trackX() + 8, y + 0.5);
        arrow.closeSubpath();
        painter.fillPath(arrow, kNominal);
    }
}

void GainFader::paintCap(QPainter& painter) const {
    const QRect cap = capRect();
    QLinearGradient body(cap.topLeft(), cap.bottomLeft());
    const int dim = m_active ? 100 : 190;
    body.setColorAt(0.0, QColor(0xe6, 0xe6, 0xe6).darker(dim));
    body.setColorAt(0.45, QColor(0xa8, 0xa8, 0xa8).darker(dim));
    body.setColorAt(0.55, QColor(0x8c, 0x8c, 0x8c).darker(dim));
    body.setColorAt(1.0, QColor(0x5c, 0x5c, 0x5c).darker(dim));
    painter.setPen(QColor(0x22, 0x22, 0x22));
    painter.setBrush(body);
    painter.drawRoundedRect(QRectF(cap).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    // The index line across the middle is what the operator reads against the scale.
    painter.fillRect(QRect(cap.left() + 2, cap.center().y(), cap.width() - 4, 1),
                     m_active ? Qt::white : QColor(0x90, 0x90, 0x90));
    if (hasFocus()) {
        painter.setPen(QColor(0x4d, 0xa3, 0xff));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(cap).adjusted(-0.5, -0.5, 0.5, 0.5), 2, 2);
    }
}

void GainFader::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0x1d, 0x1d, 0x1d));
    const QRect track(trackX() - 2, travelTop() - 2, 4, travelBottom() - travelTop() + 4);
    painter.fillRect(track, kTrack);
    painter.setPen(kTrackEdge);
    painter.drawRect(track.adjusted(0, 0, -1, -1));
    paintScale(painter);
    painter.setRenderHint(QPainter::Antialiasing);
    paintCap(painter);
}

} // namespace corvane
