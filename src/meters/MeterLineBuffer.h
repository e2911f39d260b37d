#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstring>

namespace corvane {

// The meter connection's receive buffer (strMeterBuffer): cuts the received bytes into lines at
// every CR LF. Complete lines are handed out where they lie in the arrival, without copying;
// only an unfinished line is kept for the next arrival, and each arrival is searched once.
//
// A peer that never ends its line cannot make the buffer grow: an unfinished line longer than
// kMaxUnfinishedLine characters is dropped. The bound is on the unfinished line alone, so an
// arrival of any size full of complete lines is never dropped.
class MeterLineBuffer {
public:
    static constexpr qsizetype kMaxUnfinishedLine = 10000;

    // Calls onLine(QByteArrayView line) for every line the arrival completes, in order, CR LF
    // removed. The views are valid only during the call.
    template <typename OnLine> void append(QByteArrayView data, OnLine&& onLine);

    // The unfinished line kept so far.
    const QByteArray& buffered() const { return m_tail; }
    int droppedLines() const { return m_dropped; }
    void clear() { m_tail.clear(); }

private:
    static qsizetype findLineEnd(QByteArrayView data, qsizetype from);
    void keepUnfinished(QByteArrayView rest);

    QByteArray m_tail;
    int m_dropped = 0;
};

inline qsizetype MeterLineBuffer::findLineEnd(QByteArrayView data, qsizetype from) {
    const char* begin = data.data();
    const qsizetype size = data.size();
    while (from + 1 < size) {
        const void* cr = std::memchr(begin + from, '\r', size_t(size - from - 1));
        if (cr == nullptr) {
            return -1;
        }
        const qsizetype at = static_cast<const char*>(cr) - begin;
        if (begin[at + 1] == '\n') {
            return at;
        }
        from = at + 1;
    }
    return -1;
}

inline void MeterLineBuffer::keepUnfinished(QByteArrayView rest) {
    m_tail.append(rest);
    if (m_tail.size() > kMaxUnfinishedLine) {
        // A CR at the very end may be the first half of the next line end: keep it, so the
        // line after the dropped one still starts cleanly.
        const bool endsInCr = m_tail.endsWith('\r');
        m_tail.clear();
        if (endsInCr) {
            m_tail.append('\r');
        }
        ++m_dropped;
    }
}

template <typename OnLine> void MeterLineBuffer::append(QByteArrayView data, OnLine&& onLine) {
    qsizetype pos = 0;
    if (!m_tail.isEmpty()) {
        if (m_tail.endsWith('\r') && data.startsWith('\n')) {
            m_tail.chop(1);
            pos = 1;
        } else {
            const qsizetype end = findLineEnd(data, 0);
            if (end < 0) {
                keepUnfinished(data);
                return;
            }
            m_tail.append(data.first(end));
            pos = end + 2;
        }
        // Moved out first: a line handler may clear the buffer.
        const QByteArray line = std::move(m_tail);
        m_tail = QByteArray();
        onLine(QByteArrayView(line));
    }
    for (qsizetype end = findLineEnd(data, pos); end >= 0; end = findLineEnd(data, pos)) {
        onLine(data.sliced(pos, end - pos));
        pos = end + 2;
    }
    keepUnfinished(data.sliced(pos));
}

} // namespace corvane
