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

X11Display::X11Display() {
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
                    QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("1280x900x24"),
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

bool X11Display::requestClose(const QString& title) const {
    if (m_name.isEmpty()) {
        return false;
    }
    xcb_connection_t* connection = xcb_connect(m_name.toLocal8Bit().constData(), nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return false;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const XcbReply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr));
    bool sent = false;
    if (tree) {
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        const int count = xcb_query_tree_children_length(tree.get());
        // Without a window manager, top-level windows are the root's own children.
        for (int i = 0; i < count && !sent; ++i) {
            if (windowName(connection, children[i]) != title.toUtf8()) {
                continue;
            }
            xcb_client_message_event_t event = {};
            event.response_type = XCB_CLIENT_MESSAGE;
            event.format = 32;
            event.window = children[i];
            event.type = atom(connection, "WM_PROTOCOLS");
            event.data.data32[0] = atom(connection, "WM_DELETE_WINDOW");
            event.data.data32[1] = XCB_CURRENT_TIME;
            xcb_send_event(connection, 0, children[i], XCB_EVENT_MASK_NO_EVENT,
                           reinterpret_cast<const char*>(&event));
            // A round trip: the server has handled the request before we hang up, or it may
            // drop it with the connection.
            free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
            sent = true;
        }
    }
    xcb_disconnect(connection);
    return sent;
}

} // namespace corvane::test
