#pragma once

#include <QProcess>
#include <QString>

namespace corvane::test {

// A private X server (Xvfb) for tests that need what the offscreen platform cannot give: a
// window system that sends a window its close request, as a window manager's close button
// does. Without Xvfb, name() is empty.
class X11Display {
public:
    X11Display();
    ~X11Display();
    X11Display(const X11Display&) = delete;
    X11Display& operator=(const X11Display&) = delete;

    // ":N", or empty when no server could be started.
    QString name() const { return m_name; }

    // Asks the top-level window with this title to close (WM_DELETE_WINDOW). False while no
    // such window is shown.
    bool requestClose(const QString& title) const;

private:
    QProcess m_server;
    QString m_name;
};

} // namespace corvane::test
