#include "panel/PanelTextBox.h"

#include <QPaintEvent>
#include <QPainter>

namespace corvane {

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
