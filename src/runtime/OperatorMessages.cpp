#include "runtime/OperatorMessages.h"

#include "panel/ParseStringToColl.h"
#include "protocol/ClientProtocolConsts.h"
#include "support/LogCategories.h"

#include <QStringList>

#include <utility>

namespace corvane {

namespace {
// A Core sending faster than the operator reads must not grow the queue without end.
constexpr qsizetype kMaxPendingMessageChars = 64 * 1024;
} // namespace

OperatorMessages::OperatorMessages(QObject* owner, int tickMs, Show show, Ending ending,
                                   std::function<void()> tick)
    : m_show(std::move(show)), m_ending(std::move(ending)), m_timer(owner) {
    // Named, so that whoever looks at the window's parts can find it.
    m_timer.setObjectName(QStringLiteral("timMessage"));
    m_timer.setInterval(tickMs);
    m_timer.setSingleShot(true);
    QObject::connect(&m_timer, &QTimer::timeout, owner, std::move(tick));
}

void OperatorMessages::append(const QString& text) {
    if (m_pending.size() + text.size() > kMaxPendingMessageChars) {
        qCWarning(lcProtocol) << "operator message dropped:" << m_pending.size()
                              << "characters are still waiting to be shown";
        return;
    }
    m_pending += text;
    // A running timer is left alone: restarted by every arrival, a steady stream of messages
    // would keep the box from ever showing.
    if (!m_timer.isActive()) {
        m_timer.start();
    }
}

void OperatorMessages::showPending() {
    m_timer.stop();
    if (m_showing) {
        return; // shown after the open box and the ones queued before them
    }
    QStringList items;
    ParseStringToColl(m_pending, items, modClientProtocolConsts::strFieldSeparator);
    m_pending.clear();
    m_showing = true;
    for (const QString& item : std::as_const(items)) {
        if (m_ending()) {
            break;
        }
        m_show(item);
    }
    m_showing = false;
    if (!m_pending.isEmpty() && !m_ending()) {
        m_timer.start();
    }
}

} // namespace corvane
