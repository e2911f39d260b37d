#include "support/AboutBox.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <array>

namespace corvane {

namespace {

// The picture is designed on this canvas (the splash's size at 96 dpi) and scaled to fit.
constexpr qreal kCanvasWidth = 401;
constexpr qreal kCanvasHeight = 300;
// Everything is centred on the axis of the "M I N I" label, which sits right of the middle.
constexpr qreal kAxis = 216;

void paintBackground(QPainter& painter) {
    QLinearGradient sky(0, 0, 0, kCanvasHeight);
    sky.setColorAt(0, QColor(0x0B, 0x1D, 0x33));
    sky.setColorAt(1, QColor(0x03, 0x0C, 0x18));
    painter.fillRect(QRectF(0, 0, kCanvasWidth, kCanvasHeight), sky);

    QRadialGradient glow(QPointF(kAxis, 100), 170);
    glow.setColorAt(0, QColor(40, 120, 200, 90));
    glow.setColorAt(1, QColor(40, 120, 200, 0));
    painter.fillRect(QRectF(0, 0, kCanvasWidth, kCanvasHeight), glow);

    // A faint crosspoint matrix, the routing system's own picture of itself.
    constexpr qreal step = 20;
    painter.setPen(QPen(QColor(120, 170, 230, 16), 1));
    for (qreal x = 6; x < kCanvasWidth; x += step) {
        painter.drawLine(QPointF(x, 0), QPointF(x, kCanvasHeight));
    }
    for (qreal y = 10; y < kCanvasHeight; y += step) {
        painter.drawLine(QPointF(0, y), QPointF(kCanvasWidth, y));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(120, 170, 230, 40));
    for (qreal x = 6; x < kCanvasWidth; x += step) {
        for (qreal y = 10; y < kCanvasHeight; y += step) {
            painter.drawEllipse(QPointF(x, y), 1.2, 1.2);
        }
    }
    // A few routed crosspoints, lit.
    painter.setBrush(QColor(0xFF, 0xC5, 0x3D, 150));
    const std::array<QPointF, 6> lit = {QPointF(26, 50),  QPointF(46, 230),  QPointF(86, 270),
                                        QPointF(346, 30), QPointF(366, 210), QPointF(386, 130)};
    for (const QPointF& point : lit) {
        painter.drawEllipse(point, 2.2, 2.2);
    }
}

// Nine LED bar meters in an arch: the mark of the client.
void paintMark(QPainter& painter) {
    constexpr std::array<qreal, 9> heights = {30, 46, 60, 70, 76, 70, 60, 46, 30};
    constexpr qreal barWidth = 10;
    constexpr qreal gap = 5;
    constexpr qreal baseline = 128;
    constexpr qreal segment = 4;
    constexpr qreal segmentGap = 2;
    const qreal left = kAxis - (heights.size() * barWidth + (heights.size() - 1) * gap) / 2;

    painter.setPen(Qt::NoPen);
    for (size_t bar = 0; bar < heights.size(); ++bar) {
        const qreal x = left + bar * (barWidth + gap);
        for (qreal bottom = baseline; bottom - segment >= baseline - heights[bar];
             bottom -= segment + segmentGap) {
            const qreal top = bottom - segment;
            QColor colour(0x3D, 0xDC, 0x84); // green
            if (top < 62) {
                colour = QColor(0xFF, 0x5A, 0x5F); // red
            } else if (top < 80) {
                colour = QColor(0xFF, 0xC5, 0x3D); // amber
            }
            painter.setBrush(colour);
            painter.drawRoundedRect(QRectF(x, top, barWidth, segment), 1, 1);
        }
        // Each bar's unlit head, so the arch reads as meters rather than as a chart.
        painter.setBrush(QColor(255, 255, 255, 22));
        painter.drawRoundedRect(QRectF(x, 44, barWidth, baseline - heights[bar] - 46), 1, 1);
    }
    painter.setBrush(QColor(0xE8, 0xF1, 0xFF, 90));
    painter.drawRect(QRectF(left - 6, baseline + 3, kAxis * 2 - 2 * left + 12, 1.5));
}

void paintWordmark(QPainter& painter) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(26);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 6);
    painter.setFont(font);
    painter.setPen(QColor(0xE8, 0xF1, 0xFF));
    painter.drawText(QRectF(0, 136, kAxis * 2, 32), Qt::AlignCenter, QStringLiteral("CORVANE"));

    // Amber rules either side of the "M I N I" label below.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xFF, 0xC5, 0x3D, 200));
    painter.drawRect(QRectF(kAxis - 100, 181, 52, 1.5));
    painter.drawRect(QRectF(kAxis + 48, 181, 52, 1.5));
}

} // namespace

QPixmap AboutBox::LogoPicture(QSize size, qreal devicePixelRatio) {
    QPixmap picture(size * devicePixelRatio);
    picture.setDevicePixelRatio(devicePixelRatio);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(size.width() / kCanvasWidth, size.height() / kCanvasHeight);
    paintBackground(painter);
    paintMark(painter);
    paintWordmark(painter);
    return picture;
}

} // namespace corvane
