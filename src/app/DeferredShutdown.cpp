#include "app/DeferredShutdown.h"

#include <QTimer>

#include <utility>

namespace corvane {

DeferredShutdown::DeferredShutdown(QObject* context, std::function<void()> shutDown)
    : m_context(context), m_shutDown(std::move(shutDown)) {}

DeferredShutdown::HandlerScope::HandlerScope(DeferredShutdown& shutdown) : m_shutdown(shutdown) {
    ++m_shutdown.m_depth;
}

DeferredShutdown::HandlerScope::~HandlerScope() {
    m_shutdown.leaveHandler();
}

void DeferredShutdown::request() {
    if (m_requested) {
        return;
    }
    m_requested = true;
    if (m_depth > 0) {
        m_pending = true;
    } else if (m_shutDown) {
        m_shutDown();
    }
}

void DeferredShutdown::leaveHandler() {
    if (--m_depth > 0 || !m_pending) {
        return;
    }
    m_pending = false;
    // Not from here: what called the handler (a socket, a timer, a button) is still on the
    // stack and may touch what the end releases.
    if (m_context && m_shutDown) {
        QTimer::singleShot(0, m_context, m_shutDown);
    }
}

} // namespace corvane
