#include "support/AboutBox.h"

#include "support/DataMod.h"
#include "support/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace corvane {

namespace {

const QString kFormName = QStringLiteral("AboutBox");

QRect twipsRect(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, qreal pointSize,
                  bool bold, const QColor& colour) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

} // namespace

AboutBox::AboutBox(QWidget* parent)
    : QWidget(parent, Qt::Window), m_imgLogo(new QLabel(this)),
      m_Label1(makeLabel(this, QStringLiteral("Label1"), QStringLiteral("M I N I"), 14.25, true,
                         QColor(0xFF, 0xC5, 0x3D))),
      m_Label2(makeLabel(this, QStringLiteral("Label2"), QStringLiteral("Ver. 5.80_Core"), 8.25,
                         false, QColor(0x8F, 0xA7, 0xC4))),
      m_SetFocusTimer(new QTimer(this)), m_UnloadTimer(new QTimer(this)) {
    setObjectName(kFormName);
    setWindowTitle(QStringLiteral("Verrick Control"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(twipsToPixels(6015), twipsToPixels(4500));

    m_Label1->setGeometry(twipsRect(2640, 2600, 1215, 255));
    m_Label1->setAlignment(Qt::AlignCenter);
    m_Label2->setGeometry(twipsRect(1320, 30, 2175, 255));

    // The logo becomes the window's background; the image control itself stays hidden.
    m_imgLogo->setObjectName(QStringLiteral("imgLogo"));
    m_imgLogo->setPixmap(LogoPicture(size(), devicePixelRatioF()));
    m_imgLogo->hide();
    m_background = m_imgLogo->pixmap();

    m_SetFocusTimer->setObjectName(QStringLiteral("SetFocusTimer"));
    m_SetFocusTimer->setInterval(kFocusTickMs);
    connect(m_SetFocusTimer, &QTimer::timeout, this, &AboutBox::SetFocusTimer_Timer);
    m_UnloadTimer->setObjectName(QStringLiteral("UnloadTimer"));
    m_UnloadTimer->setInterval(kUnloadDelayMs);
    connect(m_UnloadTimer, &QTimer::timeout, this, &AboutBox::UnloadTimer_Timer);

    CenterForm(this);
}

void AboutBox::SetFocusTimer_Timer() {
    if (m_ending) {
        return;
    }
    raise();
    activateWindow();
}

void AboutBox::UnloadTimer_Timer() {
    m_UnloadTimer->stop();
    close();
}

void AboutBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_background.deviceIndependentSize().toSize() != size() ||
        m_background.devicePixelRatio() != devicePixelRatioF()) {
        m_background = LogoPicture(size(), devicePixelRatioF()); // the screen changed
    }
    painter.drawPixmap(0, 0, m_background);
}

void AboutBox::mousePressEvent(QMouseEvent* event) {
    // A click on the picture closes the splash; a click on one of its labels does not.
    if (childAt(event->position().toPoint()) == nullptr) {
        close();
        return;
    }
    QWidget::mousePressEvent(event);
}

void AboutBox::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible() &&
        !m_SetFocusTimer->isActive()) {
        close();
    }
}

void AboutBox::closeEvent(QCloseEvent* event) {
    m_UnloadTimer->stop();
    m_SetFocusTimer->stop();
    QWidget::closeEvent(event);
}

} // namespace corvane
