#pragma once

#include "app/ScaleChoice.h"

#include <QObject>
#include <QRect>

#include <optional>

class QScreen;
class QWidget;

namespace corvane {

// How the panel window sits on its screen: in a window or full screen, and at what scale.
//
// In a window the panel is at the configured scale ("fit": the largest at which the window
// fits the screen's available area; none configured: 1). Full screen, the window covers the
// screen it is on without a frame, taking the screen's geometry itself where no window
// manager does it, and the panel is centred on the panel's back colour, scaled to fit unless
// a factor is configured. The operator's keys: Ctrl+plus, Ctrl+minus and Ctrl+0 step the scale
// up, down and back to the configured one; Ctrl+Shift+F enters and leaves full screen.
// Escape does nothing.
//
// The view also keeps room clear above and below the panel when asked (for the connection
// marks), and lays the panel out again whenever any of this changes.
class DeskView : public QObject {
    Q_OBJECT
public:
    explicit DeskView(QWidget* window);

    // The configured scale (none: 1 in a window, fit full screen) and the start in full screen.
    void configure(std::optional<ScaleChoice> scale, bool fullScreen);

    // A panel has been built: its size may be new.
    void panelBuilt();
    void zoomIn();
    void zoomOut();
    void zoomReset();
    void setFullScreen(bool fullScreen);
    void toggleFullScreen() { setFullScreen(!m_fullScreen); }
    void setRoom(int top, int bottom);

    bool isFullScreen() const { return m_fullScreen; }
    // The scale the panel is shown at now.
    double scale() const;

signals:
    // The panel has been laid out anew (scale, place or room changed).
    void laidOut();

private:
    void apply();
    double wantedScale() const;
    QSize panelAtScaleOne() const;
    QScreen* screen() const;
    void coverScreen();
    void watchScreen();

    QWidget* m_window;
    std::optional<ScaleChoice> m_configured;
    std::optional<double> m_operatorScale; // stepped by the keys; gone with Ctrl+0
    bool m_fullScreen = false;
    QRect m_normalGeometry;
    int m_roomTop = 0;
    int m_roomBottom = 0;
    QMetaObject::Connection m_screenWatch;
};

} // namespace corvane
