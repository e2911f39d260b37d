#include "components/LitButton.h"

#include "components/ComponentFont.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>

namespace corvane {

namespace {

constexpr qreal kCaptionShare = 0.75;

} // namespace

LitButton::LitButton(const QString& text, const QColor& litColor, QWidget* parent)
    : QAbstractButton(parent), m_litColor(litColor) {
    setText(text);
    setCheckable(false);
    setFocusPolicy(Qt::NoFocus);
    m_captionFont = scaledFont(font(), kCaptionShare, true);
}

void LitButton::changeEvent(QEvent* event) {
    QAbstractButton::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_captionFont = scaledFont(font(), kCaptionShare, true);
        updateGeometry();
    }
}

void LitButton::setLit(bool lit) {
    if (lit == m_lit) {
        return;
    }
    m_lit = lit;
    update();
}

QSize LitButton::sizeHint() const {
    const QFontMetrics fm(m_captionFont);
    return {fm.horizontalAdvance(text()) + 8, fm.height() + 6};
}

QSize LitButton::minimumSizeHint() const {
    const QFontMetrics fm(m_captionFont);
    return {12, fm.height() + 2};
}

void LitButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QColor base = m_lit ? m_litColor : QColor(0x34, 0x34, 0x34);
    QLinearGradient fill(box.topLeft(), box.bottomLeft());
    fill.setColorAt(0.0, base.lighter(isDown() ? 100 : 125));
    fill.setColorAt(1.0, base.darker(isDown() ? 140 : 110));
    painter.setPen(m_lit ? base.darker(160) : QColor(0x12, 0x12, 0x12));
    painter.setBrush(fill);
    painter.drawRoundedRect(box, 3, 3);
    painter.setPen(m_lit ? QColor(0x10, 0x10, 0x10) : QColor(0xb4, 0xb4, 0xb4));
    painter.setFont(m_captionFont);
    painter.drawText(rect(), Qt::AlignCenter, text());
}

} // namespace corvane
