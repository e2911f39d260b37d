#include "support/WebRendering.h"

#include "support/LogCategories.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

#ifdef CORVANE_HAVE_WEBENGINE
#include <QQuickWindow>
#include <QSGRendererInterface>
#endif

namespace corvane {

namespace {

// The name of the OpenGL renderer this display gives, or nothing without OpenGL.
std::optional<QByteArray> openGlRenderer() {
    QOpenGLContext context;
    if (!context.create()) {
        return std::nullopt;
    }
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface)) {
        return std::nullopt;
    }
    const auto* name = reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER));
    QByteArray renderer(name ? name : "");
    context.doneCurrent();
    return renderer;
}

} // namespace

std::optional<WebRendering> WebRenderingFromText(const QString& text) {
    const QString word = text.trimmed().toLower();
    if (word == QLatin1String("auto")) {
        return WebRendering::Automatic;
    }
    if (word == QLatin1String("software")) {
        return WebRendering::Software;
    }
    if (word == QLatin1String("opengl")) {
        return WebRendering::OpenGl;
    }
    return std::nullopt;
}

bool IsSoftwareRenderer(QByteArrayView glRenderer) {
    const QByteArray name = glRenderer.toByteArray().toLower();
    for (const char* software : {"llvmpipe", "softpipe", "swrast", "software", "lavapipe"}) {
        if (name.contains(software)) {
            return true;
        }
    }
    return false;
}

bool PrepareWebRendering(WebRendering mode) {
#ifdef CORVANE_HAVE_WEBENGINE
    static bool prepared = false;
    static bool software = false;
    if (prepared) {
        return software;
    }
    prepared = true;
    if (!qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND")) {
        software = qgetenv("QT_QUICK_BACKEND") == "software";
        return software;
    }
    if (mode == WebRendering::Automatic) {
        const auto renderer = openGlRenderer();
        software = !renderer || IsSoftwareRenderer(*renderer);
        qCInfo(lcPanel).noquote() << "web views draw with"
                                  << (software ? "the software scene graph" : "OpenGL")
                                  << "(OpenGL renderer:"
                                  << (renderer ? QString::fromUtf8(*renderer) : "none") + ")";
    } else {
        software = mode == WebRendering::Software;
    }
    if (software) {
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    }
    return software;
#else
    Q_UNUSED(mode);
    return false;
#endif
}

} // namespace corvane
