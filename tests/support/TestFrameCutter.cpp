#include "support/TestFrameCutter.h"

namespace corvane::test {

namespace {
const QByteArray kFrameEnd("\x03\x03", 2);
}

TestFrameCutter::TestFrameCutter(qsizetype maxFrameBytes) : m_maxFrameBytes(maxFrameBytes) {}

QList<TestFrame> TestFrameCutter::feed(const QByteArray& bytes) {
    QList<TestFrame> frames;
    if (m_overflowed) {
        return frames;
    }
    m_buffer.append(bytes);
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = m_buffer.indexOf(kFrameEnd, qMax(start, m_scanFrom));
        if (end < 0) {
            break;
        }
        // Cutting bytes at ETX never splits a UTF-8 character: ETX is never part of one.
        frames.append(TestFrame{QString::fromUtf8(m_buffer.mid(start, end - start))});
        start = end + kFrameEnd.size();
        m_scanFrom = start;
    }
    m_buffer.remove(0, start);
    // The last byte may be the first half of a frame end.
    m_scanFrom = qMax<qsizetype>(0, m_buffer.size() - 1);
    if (m_buffer.size() > m_maxFrameBytes) {
        m_overflowed = true;
        m_buffer.clear();
    }
    return frames;
}

} // namespace corvane::test
