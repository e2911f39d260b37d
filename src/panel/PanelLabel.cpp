#include "panel/PanelLabel.h"

#include <QPainter>
#include <QStyle>

namespace corvane {

PanelLabel::PanelLabel(QWidget* parent) : QLabel(parent) {}

void PanelLabel::setColors(const QColor& back, const QColor& fore) {
    if (back == m_backColor && fore == m_foreColor) {
        return;
    }
    m_backColor = back;
    m_foreColor = fore;
    update();
}

void PanelLabel::paintEvent(QPaintEvent* event) {
    if (!m_foreColor.isValid()) {
        if (m_backColor.isValid()) {
            QPainter(this).fillRect(rect(), m_backColor);
        }
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    if (m_backColor.isValid()) {
        painter.fillRect(rect(), m_backColor);
    }
    drawFrame(&painter);
    // Plain text placed as QLabel places it, drawn with the label's own text colour as the
    // pen: no palette is copied for a paint.
    const bool rightToLeft = text().isRightToLeft();
    const Qt::Alignment placed =
        QStyle::visualAlignment(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight, alignment());
    int flags = int(placed) | (rightToLeft ? Qt::TextForceRightToLeft : Qt::TextForceLeftToRight);
    if (wordWrap()) {
        flags |= Qt::TextWordWrap;
    }
    QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    int indented = indent();
    if (indented < 0 && frameWidth() > 0) { // no indent given, but a frame
        indented = fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 - margin();
    }
    if (indented > 0) {
        area.adjust(placed & Qt::AlignLeft ? indented : 0, placed & Qt::AlignTop ? indented : 0,
                    placed & Qt::AlignRight ? -indented : 0,
                    placed & Qt::AlignBottom ? -indented : 0);
    }
    painter.setPen(m_foreColor);
    style()->drawItemText(&painter, area, flags, palette(), isEnabled(), text(), QPalette::NoRole);
}

} // namespace corvane
