#include "ControlHighlight.h"

#include <QEvent>
#include <QPainter>

namespace corvane::demo {

namespace {

constexpr int kPenPx = 3;
const QColor kFrameColor{255, 0, 160};

} // namespace

ControlHighlight::ControlHighlight(QWidget* window) : QWidget(window) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    hide();
}

void ControlHighlight::frame(QWidget* control) {
    if (m_control) {
        m_control->removeEventFilter(this);
    }
    m_control = control;
    if (control == nullptr) {
        hide();
        return;
    }
    control->installEventFilter(this);
    follow();
    show();
    raise();
}

void ControlHighlight::follow() {
    if (!m_control || m_control->parentWidget() == nullptr) {
        return;
    }
    const QRect place(m_control->mapTo(parentWidget(), QPoint(0, 0)), m_control->size());
    setGeometry(place.adjusted(-kMarginPx, -kMarginPx, kMarginPx, kMarginPx));
}

bool ControlHighlight::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_control &&
        (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
        follow();
    }
    return QWidget::eventFilter(watched, event);
}

void ControlHighlight::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QPen(kFrameColor, kPenPx, Qt::DashLine));
    painter.drawRect(rect().adjusted(1, 1, -2, -2));
}

} // namespace corvane::demo
