#include "MeterSession.h"

#include <algorithm>
#include <optional>

namespace corvane::demo {

namespace {

std::optional<qint32> pointNumber(const QByteArray& token) {
    bool ok = false;
    const int value = token.toInt(&ok);
    return ok && value >= 1 && value <= 0xFFFF ? std::optional<qint32>(value) : std::nullopt;
}

// The address goes back in every level line as one token: no blanks, nothing unprintable.
QByteArray pathToken(QByteArray address) {
    for (char& c : address) {
        if (static_cast<unsigned char>(c) < 33 || c == 127) {
            c = '_';
        }
    }
    return address.isEmpty() ? QByteArray("-") : address;
}

} // namespace

MeterSession::~MeterSession() {
    for (const Subscription& subscription : m_subscriptions) {
        m_pool.release(subscription.point);
    }
}

QList<QByteArray> MeterSession::receive(const QByteArray& bytes) {
    QList<QByteArray> lines;
    qsizetype from = 0;
    while (from < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', from);
        const qsizetype stop = end < 0 ? bytes.size() : end;
        if (!m_skippingLongLine) {
            m_buffer.append(bytes.constData() + from, stop - from);
        }
        if (m_buffer.size() > kMaxLineBytes) {
            m_buffer.clear();
            m_skippingLongLine = true;
        }
        if (end < 0) {
            break;
        }
        if (!m_skippingLongLine) {
            if (m_buffer.endsWith('\r')) {
                m_buffer.chop(1);
            }
            lines.append(m_buffer);
            handleLine(m_buffer);
        }
        m_buffer.clear();
        m_skippingLongLine = false;
        from = end + 1;
    }
    return lines;
}

void MeterSession::handleLine(const QByteArray& line) {
    const QList<QByteArray> tokens = line.simplified().split(' ');
    const QByteArray word = tokens.value(0).toLower();
    if (word == "setmeterpoll" && tokens.size() >= 2) {
        bool ok = false;
        const int poll = tokens[1].toInt(&ok);
        if (ok) {
            m_pollMs = std::clamp(poll, kMinPollMs, kMaxPollMs);
        }
        return;
    }
    if ((word != "sm" && word != "um") || tokens.size() < 4) {
        return;
    }
    const QByteArray kind = tokens[1].toUpper();
    const auto router = pointNumber(tokens[2]);
    const auto io = pointNumber(tokens[3]);
    if ((kind != "SRC" && kind != "DST") || !router || !io) {
        return;
    }
    const DemoPoint point{*router, *io, kind == "DST"};
    if (word == "sm") {
        subscribe(point, pathToken(tokens.value(4)));
    } else {
        unsubscribe(point);
    }
}

void MeterSession::subscribe(const DemoPoint& point, const QByteArray& path) {
    const auto known = m_index.constFind(point);
    if (known != m_index.cend()) {
        m_subscriptions[known.value()].path = path; // a repeated subscription keeps its place
        return;
    }
    if (m_subscriptions.size() >= size_t(kMaxSubscriptions) || !m_pool.acquire(point)) {
        return;
    }
    m_index.insert(point, m_subscriptions.size());
    m_subscriptions.push_back({point, path});
}

void MeterSession::unsubscribe(const DemoPoint& point) {
    const auto known = m_index.find(point);
    if (known == m_index.end()) {
        return;
    }
    // The last subscription takes the freed place, so that dropping every point of a large
    // panel costs one step each.
    const size_t position = known.value();
    m_index.erase(known);
    if (position + 1 < m_subscriptions.size()) {
        m_subscriptions[position] = std::move(m_subscriptions.back());
        m_index[m_subscriptions[position].point] = position;
    }
    m_subscriptions.pop_back();
    m_pool.release(point);
}

QByteArray MeterSession::levelLines(qint64 nowMs) {
    QByteArray lines;
    lines.reserve(qsizetype(m_subscriptions.size()) * 64);
    for (const Subscription& subscription : m_subscriptions) {
        lines += levelLine(subscription.point, subscription.path,
                           m_pool.levels(subscription.point, nowMs));
    }
    return lines;
}

QByteArray MeterSession::levelLine(const DemoPoint& point, const QByteArray& path,
                                   const StereoLevels& levels) {
    QByteArray line = point.isDest ? "MTR DST " : "MTR SRC ";
    line += QByteArray::number(point.router) + ' ' + QByteArray::number(point.io) + ' ' + path;
    line +=
        " PEEK:" + QByteArray::number(levels.peakLeft) + ':' + QByteArray::number(levels.peakRight);
    line += " RMS:" + QByteArray::number(levels.rmsLeft) + ':' +
            QByteArray::number(levels.rmsRight) + "\r\n";
    return line;
}

} // namespace corvane::demo
