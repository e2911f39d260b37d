#include "panel/PanelButton.h"

#include "panel/CaptionText.h"

#include <QMouseEvent>
#include <QPointer>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <utility>

namespace corvane {

namespace {

// More ground colours than a button shows in turn (off, on, flashing) are not kept.
constexpr qsizetype kMaxPalettes = 8;

bool samePicture(const QPixmap& a, const QPixmap& b) {
    return a.cacheKey() == b.cacheKey() || (a.isNull() && b.isNull());
}

} // namespace

PanelButton::PanelButton(QWidget* parent) : QPushButton(parent) {}

void PanelButton::setCaption(const QString& caption) {
    if (caption == m_caption) {
        return;
    }
    m_caption = caption;
    setText(CaptionForLabel(caption));
}

void PanelButton::setBackColor(const QColor& color) {
    if (color == m_backColor) {
        return;
    }
    m_backColor = color;
    update();
}

const QPalette& PanelButton::paletteFor(const QColor& color) {
    const QRgb key = color.rgba();
    auto found = m_palettes.find(key);
    if (found == m_palettes.end()) {
        if (m_palettes.size() >= kMaxPalettes) {
            m_palettes.clear();
        }
        QPalette palette = this->palette();
        palette.setColor(QPalette::Button, color);
        found = m_palettes.insert(key, palette);
    }
    return found.value();
}

void PanelButton::setPicture(const QPixmap& picture) {
    if (samePicture(picture, m_picture)) {
        return;
    }
    m_picture = picture;
    update();
}

void PanelButton::setDownPicture(const QPixmap& picture) {
    if (samePicture(picture, m_downPicture)) {
        return;
    }
    m_downPicture = picture;
    update();
}

QPixmap PanelButton::shownPicture() const {
    if (isDown() && !m_downPicture.isNull()) {
        return m_downPicture;
    }
    return m_picture;
}

void PanelButton::releaseHold() {
    if (isDown()) {
        setDown(false);
    }
    // Taken from the member first: a handler may press the button again, or delete it.
    const QPointer<PanelButton> self(this);
    for (int held = std::exchange(m_heldPresses, 0); held > 0 && self; --held) {
        emit releasedByOperator();
    }
}

bool PanelButton::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::WindowDeactivate: // another window has the mouse and keyboard now
    case QEvent::WindowBlocked:    // a modal box has opened over the window
        releaseHold();
        break;
    default:
        break;
    }
    return QPushButton::event(event);
}

void PanelButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) {
        m_palettes.clear(); // made from the palette that was
    }
    QPushButton::changeEvent(event);
    // A disabled button gets no mouse events, so the operator's release would never come.
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        releaseHold();
    }
}

void PanelButton::hideEvent(QHideEvent* event) {
    QPushButton::hideEvent(event);
    releaseHold();
}

void PanelButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        QPushButton::mousePressEvent(event);
    } else {
        // The base class ignores other buttons; shown pressed all the same, as the Core sees it.
        setDown(true);
    }
    // Accepted in every case, so that the release comes back to this button.
    event->accept();
    ++m_heldPresses;
    emit pressedByOperator();
}

void PanelButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        QPushButton::mouseReleaseEvent(event);
    } else if (!(event->buttons() & Qt::LeftButton)) {
        setDown(false);
    }
    event->accept();
    if (m_heldPresses > 0) {
        --m_heldPresses;
        emit releasedByOperator();
    }
}

void PanelButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    if (m_backColor.isValid()) {
        option.palette = paletteFor(m_backColor);
    }
    const QPixmap shown = shownPicture();
    if (shown.isNull()) {
        painter.drawControl(QStyle::CE_PushButton, option);
        return;
    }
    painter.drawControl(QStyle::CE_PushButtonBevel, option);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), shown);
    painter.drawControl(QStyle::CE_PushButtonLabel, option);
}

} // namespace corvane
