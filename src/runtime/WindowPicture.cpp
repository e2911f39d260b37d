#include "runtime/WindowPicture.h"

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
        QPainter painter(static_cast<QWidget*>(watched));
        painter.drawPixmap(0, 0, m_picture);
    }
    return false;
}

} // namespace corvane
