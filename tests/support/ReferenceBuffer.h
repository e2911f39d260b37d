#pragma once

#include "protocol/ClientProtocolConsts.h"

#include <QString>
#include <QStringList>

#include <limits>

namespace corvane::test {

// The buffer as it is simplest to state: every arrival re-splits the whole buffer at the frame
// ends, left to right; a buffer of 2 characters or fewer waits; a buffer ending in a frame end
// completes every piece (but the empty one after it); an unfinished tail beyond the bound is
// dropped, keeping a trailing ETX that may begin the next frame end.
class ReferenceBuffer {
public:
    explicit ReferenceBuffer(qsizetype maxTail = std::numeric_limits<qsizetype>::max())
        : m_maxTail(maxTail) {}

    QStringList append(const QString& newData) {
        m_buffer += newData;
        if (m_buffer.size() <= 2) {
            return {};
        }
        QStringList pieces;
        qsizetype start = 0;
        qsizetype i = 0;
        while (i + 1 < m_buffer.size()) {
            if (m_buffer[i] == kEtx && m_buffer[i + 1] == kEtx) {
                pieces.append(m_buffer.mid(start, i - start));
                i += 2;
                start = i;
            } else {
                ++i;
            }
        }
        pieces.append(m_buffer.mid(start));
        if (m_buffer.endsWith(modClientProtocolConsts::strFrameEnd)) {
            m_buffer.clear();
            if (pieces.back().isEmpty()) {
                pieces.removeLast();
            }
            return pieces;
        }
        m_buffer = pieces.takeLast();
        if (m_buffer.size() > m_maxTail) {
            m_buffer = m_buffer.endsWith(kEtx) ? QString(kEtx) : QString();
            ++m_dropped;
        }
        return pieces;
    }

    const QString& buffered() const { return m_buffer; }
    int dropped() const { return m_dropped; }

private:
    static constexpr QChar kEtx = QChar(3);
    QString m_buffer;
    qsizetype m_maxTail;
    int m_dropped = 0;
};

} // namespace corvane::test
