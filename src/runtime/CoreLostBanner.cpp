#include "runtime/CoreLostBanner.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPainter>

namespace corvane {

namespace {

// Read at a glance from two metres, at any panel scale: the band keeps its own font size.
constexpr qreal kBannerPoints = 20;
constexpr int kPaddingPixels = 10;
const QColor kBandColor(0x1c, 0x1c, 0x1c);
const QColor kEdgeColor(0xff, 0xb0, 0x20);
const QColor kTextColor(Qt::white);

} // namespace

CoreLostBanner::CoreLostBanner(QWidget* window) : QWidget(window) {
    setObjectName(QStringLiteral("coreLostBanner"));
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus);
    QFont font = QApplication::font();
    font.setPointSizeF(kBannerPoints);
    font.setBold(true);
    setFont(font);
    window->installEventFilter(this);
    hide();
}

void CoreLostBanner::showTrying(const QString& server) {
    m_text = QStringLiteral("Core connection lost: trying %1\u2026").arg(server);
    coverWindow();
    raise();
    show();
    // Keys typed meanwhile would reach a control the Core no longer hears.
    setFocus(Qt::OtherFocusReason);
    update(0, 0, width(), bandHeight());
}

int CoreLostBanner::bandHeight() const {
    return fontMetrics().height() + 2 * kPaddingPixels;
}

void CoreLostBanner::coverWindow() {
    if (parentWidget() != nullptr) {
        setGeometry(parentWidget()->rect());
    }
}

bool CoreLostBanner::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        coverWindow();
    }
    return false;
}

bool CoreLostBanner::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::ContextMenu:
        event->accept(); // taken here: nothing under the pane sees it
        return true;
    default:
        return QWidget::event(event);
    }
}

void CoreLostBanner::keyPressEvent(QKeyEvent* event) {
    event->accept();
}

void CoreLostBanner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect band(0, 0, width(), bandHeight());
    painter.fillRect(band, kBandColor);
    painter.fillRect(QRect(0, band.bottom() - 2, width(), 3), kEdgeColor);
    painter.setPen(kTextColor);
    // Centred: clear of the "Connecting" window, which sits at the panel's top-left corner.
    painter.drawText(band.adjusted(kPaddingPixels, 0, -kPaddingPixels, -3),
                     Qt::AlignCenter | Qt::TextSingleLine, m_text);
}

} // namespace corvane
