#include "protocol/ReceiveBuffer.h"

#include "protocol/ClientProtocolConsts.h"
#include "support/LogCategories.h"

#include <utility>

namespace corvane {

namespace {

constexpr qsizetype kKeptCapacity = 64 * 1024;

// The leftmost frame end at or after from, or -1. Looks for its first ETX with the vectorised
// single-character search; most text holds no ETX at all.
qsizetype findFrameEnd(QStringView text, qsizetype from) {
    const QChar etx = modClientProtocolConsts::strFrameEnd.front();
    for (qsizetype at = text.indexOf(etx, from); at >= 0 && at + 1 < text.size();
         at = text.indexOf(etx, at + 1)) {
        if (text[at + 1] == etx) {
            return at;
        }
    }
    return -1;
}

} // namespace

ReceiveBuffer::ReceiveBuffer(qsizetype maxTail) : m_maxTail(maxTail > 0 ? maxTail : 1) {}

void ReceiveBuffer::clear() {
    m_buffer = QString();
    m_scanFrom = 0;
}

QStringList ReceiveBuffer::append(QStringView newData) {
    m_buffer.append(newData);
    QStringList pieces;
    if (m_buffer.size() <= 2) {
        return pieces;
    }

    const QStringView frameEnd(modClientProtocolConsts::strFrameEnd);
    const QStringView all(m_buffer);
    qsizetype at = findFrameEnd(all, m_scanFrom);
    if (at == all.size() - frameEnd.size()) {
        // The usual case: the buffer is exactly one frame. Hand the text over without a copy.
        m_buffer.truncate(at);
        pieces.append(std::move(m_buffer));
        clear();
        return pieces;
    }

    qsizetype pieceStart = 0;
    while (at >= 0) {
        pieces.append(all.sliced(pieceStart, at - pieceStart).toString());
        pieceStart = at + frameEnd.size();
        at = findFrameEnd(all, pieceStart);
    }
    if (all.endsWith(frameEnd)) {
        // Ending with a frame end completes everything, even a lone ETX left over after the
        // last cut of an odd run of them.
        if (pieceStart < all.size()) {
            pieces.append(all.sliced(pieceStart).toString());
        }
        clear();
        return pieces;
    }

    // Only text that came with this arrival can follow a cut, so this moves little.
    if (pieceStart > 0) {
        m_buffer.remove(0, pieceStart);
        // After a large frame a short tail must not keep the frame's memory.
        if (m_buffer.capacity() > kKeptCapacity && m_buffer.capacity() > 4 * m_buffer.size()) {
            m_buffer.squeeze();
        }
    }
    m_scanFrom = m_buffer.size() - 1;
    if (m_buffer.size() > m_maxTail) {
        dropOversizeTail();
    }
    return pieces;
}

void ReceiveBuffer::dropOversizeTail() {
    // The unfinished piece is lost. A trailing ETX may be the first half of its frame end, so
    // it stays: the stream then resumes cleanly at the next frame.
    const QChar etx = modClientProtocolConsts::strFrameEnd.front();
    const bool keepEtx = m_buffer.endsWith(etx);
    qCWarning(lcProtocol) << "unfinished frame of" << m_buffer.size()
                          << "characters dropped: it outgrew the bound of" << m_maxTail;
    clear();
    if (keepEtx) {
        m_buffer = QString(etx);
    }
}

} // namespace corvane
