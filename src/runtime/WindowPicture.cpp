#include "runtime/WindowPicture.h"

#include "support/Twips.h"

#include <QEvent>
#include <QPainter>
#include <QWidget>

namespace corvane {

namespace {
const char* const kObjectName = "corvaneWindowPicture";
}

WindowPicture::WindowPicture(QWidget* window) : QObject(window) {
    setObjectName(QLatin1String(kObjectName));
    window->installEventFilter(this);
}

WindowPicture* WindowPicture::of(const QWidget* window) {
    return window->findChild<WindowPicture*>(QLatin1String(kObjectName),
                                             Qt::FindDirectChildrenOnly);
}

void WindowPicture::set(QWidget* window, const QPixmap& picture) {
    if (window == nullptr) {
        return;
    }
    WindowPicture* holder = of(window);
    if (holder == nullptr) {
        holder = new WindowPicture(window);
    }
    holder->m_picture = picture;
    window->update();
}

QPixmap WindowPicture::current(const QWidget* window) {
    const WindowPicture* holder = window ? of(window) : nullptr;
    return holder ? holder->m_picture : QPixmap();
}

bool WindowPicture::eventFilter(QObject* watched, QEvent* event) {
    // The background colour is already filled when the paint event is delivered; drawing here
    // puts the picture between it and whatever the window itself draws.
    if (event->type() == QEvent::Paint && !m_picture.isNull()) {
        auto* window = static_cast<QWidget*>(watched);
        const PanelMapping mapping = PanelMapping::of(window);
        QPainter painter(window);
        if (mapping.scale() == 1.0) {
            painter.drawPixmap(mapping.origin(), m_picture);
        } else {
            // Scaled onto the window's own pixels, which are the screen's: as sharp as the
            // picture allows at this size.
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            const QSizeF size = m_picture.deviceIndependentSize() * mapping.scale();
            painter.drawPixmap(QRectF(mapping.origin(), size), m_picture, m_picture.rect());
        }
    }
    return false;
}

} // namespace corvane
