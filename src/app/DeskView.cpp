#include "app/DeskView.h"

#include "panel/PanelScaler.h"
#include "support/Twips.h"
#include "support/TwipsGeometry.h"

#include <QGuiApplication>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>
#include <QWidget>
#include <QWindow>

namespace corvane {

namespace {

void addKeys(QWidget* window, const QList<QKeySequence>& keys, QObject* receiver,
             const std::function<void()>& action) {
    for (const QKeySequence& key : keys) {
        auto* shortcut = new QShortcut(key, window);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, receiver, action);
    }
}

} // namespace

DeskView::DeskView(QWidget* window) : QObject(window), m_window(window) {
    // Ctrl+plus is Ctrl+Shift+= on many keyboards; Ctrl+= is taken as well.
    addKeys(window, {QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)}, this,
            [this] { zoomIn(); });
    addKeys(window, {QKeySequence::ZoomOut}, this, [this] { zoomOut(); });
    addKeys(window, {QKeySequence(Qt::CTRL | Qt::Key_0)}, this, [this] { zoomReset(); });
    addKeys(window, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F)}, this,
            [this] { toggleFullScreen(); });
}

void DeskView::configure(std::optional<ScaleChoice> scale, bool fullScreen) {
    m_configured = scale;
    m_operatorScale.reset();
    if (fullScreen != m_fullScreen) {
        setFullScreen(fullScreen);
    } else {
        apply();
    }
}

void DeskView::panelBuilt() {
    apply();
}

void DeskView::zoomIn() {
    m_operatorScale = PanelScale::stepUp(scale());
    apply();
}

void DeskView::zoomOut() {
    m_operatorScale = PanelScale::stepDown(scale());
    apply();
}

void DeskView::zoomReset() {
    m_operatorScale.reset();
    apply();
}

void DeskView::setRoom(int top, int bottom) {
    if (top == m_roomTop && bottom == m_roomBottom) {
        return;
    }
    m_roomTop = top;
    m_roomBottom = bottom;
    apply();
}

void DeskView::setFullScreen(bool fullScreen) {
    if (fullScreen == m_fullScreen) {
        return;
    }
    m_fullScreen = fullScreen;
    const bool shown = m_window->isVisible();
    if (fullScreen) {
        m_normalGeometry = m_window->geometry();
        // Changing the window's flags hides it; it is shown again in its new state.
        m_window->setWindowFlag(Qt::FramelessWindowHint, true);
        coverScreen();
        if (shown) {
            m_window->showFullScreen();
        } else {
            m_window->setWindowState(m_window->windowState() | Qt::WindowFullScreen);
        }
        coverScreen(); // without a window manager nothing else gives it the screen
        watchScreen();
    } else {
        QObject::disconnect(m_screenWatch);
        m_window->setWindowFlag(Qt::FramelessWindowHint, false);
        if (shown) {
            m_window->showNormal();
        } else {
            m_window->setWindowState(m_window->windowState() & ~Qt::WindowFullScreen);
        }
        if (m_normalGeometry.isValid()) {
            m_window->move(m_normalGeometry.topLeft());
        }
    }
    apply();
}

QScreen* DeskView::screen() const {
    QScreen* screen = m_window->screen();
    return screen ? screen : QGuiApplication::primaryScreen();
}

void DeskView::coverScreen() {
    if (QScreen* shown = screen()) {
        m_window->setGeometry(shown->geometry());
    }
}

void DeskView::watchScreen() {
    QObject::disconnect(m_screenWatch);
    if (QWindow* handle = m_window->windowHandle()) {
        m_screenWatch = connect(handle, &QWindow::screenChanged, this, [this] {
            if (m_fullScreen) {
                coverScreen();
                apply();
            }
        });
    }
}

QSize DeskView::panelAtScaleOne() const {
    if (!TwipsGeometry::hasSize(m_window)) {
        return {};
    }
    const PanelMapping one;
    return QSize(one.lengthToPixels(TwipsGeometry::width(m_window)),
                 one.lengthToPixels(TwipsGeometry::height(m_window)));
}

double DeskView::wantedScale() const {
    if (m_operatorScale) {
        return *m_operatorScale;
    }
    const bool fit = m_configured ? m_configured->fit : m_fullScreen;
    if (!fit) {
        return m_configured ? m_configured->factor : 1.0;
    }
    QScreen* shown = screen();
    if (shown == nullptr) {
        return 1.0;
    }
    const QSize area = (m_fullScreen ? shown->geometry() : shown->availableGeometry()).size() -
                       QSize(0, m_roomTop + m_roomBottom);
    return PanelScale::fit(panelAtScaleOne(), area);
}

double DeskView::scale() const {
    return PanelMapping::of(m_window).scale();
}

void DeskView::apply() {
    const double factor = wantedScale();
    QPoint origin(0, m_roomTop);
    QSize extra(0, m_roomTop + m_roomBottom);
    if (m_fullScreen) {
        const PanelMapping scaled(factor, {});
        const QSize panel(scaled.lengthToPixels(TwipsGeometry::width(m_window)),
                          scaled.lengthToPixels(TwipsGeometry::height(m_window)));
        const QSize area = m_window->size() - QSize(0, m_roomTop + m_roomBottom);
        origin += PanelScale::centred(panel, area);
        extra = QSize(0, 0);
    }
    const PanelMapping mapping(factor, origin, extra);
    if (mapping != PanelMapping::of(m_window)) {
        PanelScaler::apply(m_window, mapping);
    }
    emit laidOut();
}

} // namespace corvane
