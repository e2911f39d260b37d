#include "panel/PanelLabel.h"

#include <QPainter>

namespace corvane {

PanelLabel::PanelLabel(QWidget* parent) : QLabel(parent) {}

void PanelLabel::setBackColor(const QColor& color) {
    if (color == m_backColor) {
        return;
    }
    m_backColor = color;
    update();
}

void PanelLabel::paintEvent(QPaintEvent* event) {
    if (m_backColor.isValid()) {
        QPainter(this).fillRect(rect(), m_backColor);
    }
    QLabel::paintEvent(event);
}

} // namespace corvane
