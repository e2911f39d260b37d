#include "panel/SelfFilledWidgets.h"

#include <QPaintEvent>
#include <QPainter>

namespace corvane {

PanelLabel::PanelLabel(QWidget* parent) : QLabel(parent) {}

void PanelLabel::setFillsBackground(bool fills) {
    if (m_fillsBackground != fills) {
        m_fillsBackground = fills;
        update();
    }
}

void PanelLabel::paintEvent(QPaintEvent* event) {
    if (m_fillsBackground) {
        QPainter painter(this);
        painter.fillRect(event->rect(), palette().brush(backgroundRole()));
    }
    QLabel::paintEvent(event);
}

PanelTextBox::PanelTextBox(QWidget* parent) : QPlainTextEdit(parent) {
    viewport()->setAutoFillBackground(false);
}

void PanelTextBox::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(viewport());
        painter.fillRect(event->rect(), viewport()->palette().brush(viewport()->backgroundRole()));
    }
    QPlainTextEdit::paintEvent(event);
}

} // namespace corvane
