#include "X11Display.h"

#include <QByteArray>
#include <QStandardPaths>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

#include <poll.h>
#include <unistd.h>

namespace corvane::test {

namespace {

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};
template <typename T> using XcbReply = std::unique_ptr<T, FreeDeleter>;

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(strlen(name)), name),
        nullptr));
    return reply ? reply->atom : XCB_ATOM_NONE;
}

QByteArray windowName(xcb_connection_t* connection, xcb_window_t window) {
    const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, window, XCB_ATOM_WM_NAME, XCB_ATOM_ANY, 0, 1024), nullptr));
    if (!reply) {
        return {};
    }
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

} // namespace

X11Display::X11Display(QSize screen) {
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) {
        return;
    }
    // Xvfb picks a free display and writes its number into the pipe it inherits.
    int fds[2];
    if (::pipe(fds) != 0) {
        return;
    }
    m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_server.start(QStringLiteral("Xvfb"),
                   {QStringLiteral("-displayfd"), QString::number(fds[1]),
                    QStringLiteral("-screen"), QStringLiteral("0"),
                    QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height()),
                    QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    ::close(fds[1]);
    QByteArray number;
    pollfd reading{fds[0], POLLIN, 0};
    while (!number.endsWith('\n') && ::poll(&reading, 1, 10000) > 0) {
        char byte = 0;
        if (::read(fds[0], &byte, 1) != 1) {
            break;
        }
        number.append(byte);
    }
    ::close(fds[0]);
    if (number.trimmed().isEmpty()) {
        return;
    }
    m_name = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
}

X11Display::~X11Display() {
    if (m_server.state() != QProcess::NotRunning) {
        m_server.terminate();
        if (!m_server.waitForFinished(5000)) {
            m_server.kill();
            m_server.waitForFinished(2000);
        }
    }
}

namespace {

// One connection to the display for one question; closed with the object.
class XcbConnection {
public:
    explicit XcbConnection(const QString& display)
        : m_connection(xcb_connect(display.toLocal8Bit().constData(), nullptr)) {}
    ~XcbConnection() { xcb_disconnect(m_connection); }
    XcbConnection(const XcbConnection&) = delete;
    XcbConnection& operator=(const XcbConnection&) = delete;

    bool isUsable() const { return !xcb_connection_has_error(m_connection); }
    xcb_connection_t* get() const { return m_connection; }

private:
    xcb_connection_t* m_connection;
};

// Without a window manager, top-level windows are the root's own children.
xcb_window_t shownWindowNamed(xcb_connection_t* connection, const QByteArray& title) {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const XcbReply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr));
    if (!tree) {
        return XCB_WINDOW_NONE;
    }
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    for (int i = 0; i < count; ++i) {
        if (windowName(connection, children[i]) != title) {
            continue;
        }
        const XcbReply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(
                connection, xcb_get_window_attributes(connection, children[i]), nullptr));
        if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE) {
            return children[i];
        }
    }
    return XCB_WINDOW_NONE;
}

} // namespace

bool X11Display::requestClose(const QString& title) const {
    if (m_name.isEmpty()) {
        return false;
    }
    const XcbConnection connection(m_name);
    if (!connection.isUsable()) {
        return false;
    }
    const xcb_window_t window = shownWindowNamed(connection.get(), title.toUtf8());
    if (window == XCB_WINDOW_NONE) {
        return false;
    }
    xcb_client_message_event_t event = {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom(connection.get(), "WM_PROTOCOLS");
    event.data.data32[0] = atom(connection.get(), "WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection.get(), 0, window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&event));
    // A round trip: the server has handled the request before we hang up, or it may drop it
    // with the connection.
    free(xcb_get_input_focus_reply(connection.get(), xcb_get_input_focus(connection.get()),
                                   nullptr));
    return true;
}

quint32 X11Display::findWindow(const QString& title) const {
    if (m_name.isEmpty()) {
        return 0;
    }
    const XcbConnection connection(m_name);
    return connection.isUsable() ? shownWindowNamed(connection.get(), title.toUtf8()) : 0;
}

std::optional<QColor> X11Display::pixel(quint32 window, QPoint at) const {
    if (m_name.isEmpty()) {
        return std::nullopt;
    }
    const XcbConnection connection(m_name);
    if (!connection.isUsable()) {
        return std::nullopt;
    }
    const XcbReply<xcb_get_image_reply_t> image(
        xcb_get_image_reply(connection.get(),
                            xcb_get_image(connection.get(), XCB_IMAGE_FORMAT_Z_PIXMAP, window,
                                          int16_t(at.x()), int16_t(at.y()), 1, 1, ~0u),
                            nullptr));
    // The test server's screen is 24 bits deep, one pixel in four bytes: blue, green, red.
    if (!image || image->depth != 24 || xcb_get_image_data_length(image.get()) < 4) {
        return std::nullopt;
    }
    const uint8_t* bytes = xcb_get_image_data(image.get());
    return QColor(bytes[2], bytes[1], bytes[0]);
}

std::optional<QRect> X11Display::geometry(quint32 window) const {
    if (m_name.isEmpty()) {
        return std::nullopt;
    }
    const XcbConnection connection(m_name);
    if (!connection.isUsable()) {
        return std::nullopt;
    }
    const XcbReply<xcb_get_geometry_reply_t> size(xcb_get_geometry_reply(
        connection.get(), xcb_get_geometry(connection.get(), window), nullptr));
    if (!size) {
        return std::nullopt;
    }
    const XcbReply<xcb_translate_coordinates_reply_t> place(xcb_translate_coordinates_reply(
        connection.get(), xcb_translate_coordinates(connection.get(), window, size->root, 0, 0),
        nullptr));
    if (!place) {
        return std::nullopt;
    }
    return QRect(place->dst_x, place->dst_y, size->width, size->height);
}

} // namespace corvane::test
