#pragma once

#include <QColor>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

namespace corvane::test {

// A private X server (Xvfb) for tests that need what the offscreen platform cannot give: a
// window system that sends a window its close request, as a window manager's close button
// does, and a screen to click on and read colours from. Without Xvfb, name() is empty.
class X11Display {
public:
    explicit X11Display(QSize screen = QSize(1280, 900));
    ~X11Display();
    X11Display(const X11Display&) = delete;
    X11Display& operator=(const X11Display&) = delete;

    // ":N", or empty when no server could be started.
    QString name() const { return m_name; }

    // Asks the top-level window with this title to close (WM_DELETE_WINDOW). False while no
    // such window is shown.
    bool requestClose(const QString& title) const;

    // The shown top-level window with this title, or 0 while there is none.
    quint32 findWindow(const QString& title) const;

    // The colour of one pixel of a shown window, at a point of the window.
    std::optional<QColor> pixel(quint32 window, QPoint at) const;

    // Where a top-level window's inside lies on the screen.
    std::optional<QRect> geometry(quint32 window) const;

private:
    QProcess m_server;
    QString m_name;
};

} // namespace corvane::test
