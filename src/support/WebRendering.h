#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace corvane {

// How web views draw their pages. A web view's scene is drawn through OpenGL by default, and
// a window holding one then composes every repaint of anything in it through OpenGL too. On a
// display without a GPU (virtual machines, thin clients, remote desktops) that OpenGL is a
// software rasteriser, and a panel's meters alone would keep a third of a core busy; the
// software scene graph draws the same pages for a small part of that.
enum class WebRendering {
    Automatic, // the software scene graph where OpenGL is a software rasteriser or missing
    Software,
    OpenGl,
};

// The configuration's "webrendering" value: "auto", "software" or "opengl", in any case.
std::optional<WebRendering> WebRenderingFromText(const QString& text);

// True for the names by which Mesa and others call their software rasterisers.
bool IsSoftwareRenderer(QByteArrayView glRenderer);

// Chooses how web views will draw; must be called before the first web view is made (later
// calls change nothing). QT_QUICK_BACKEND, when set, is left to decide. Returns whether the
// software scene graph is used.
bool PrepareWebRendering(WebRendering mode);

} // namespace corvane
