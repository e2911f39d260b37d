#pragma once

#include "meters/MeterLineBuffer.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace corvane::fuzz {

// The lines of a meter server's stream as a plain split of the whole text gives them, with the
// bound on an unfinished line that the client keeps. It re-splits everything on every arrival,
// which is too slow for the client and simple enough to trust.
class ReferenceLines {
public:
    QList<QByteArray> append(QByteArrayView data) {
        m_text += data;
        QList<QByteArray> lines;
        qsizetype end = 0;
        while ((end = m_text.indexOf("\r\n")) >= 0) {
            lines.append(m_text.left(end));
            m_text.remove(0, end + 2);
        }
        if (m_text.size() > MeterLineBuffer::kMaxUnfinishedLine) {
            m_text = m_text.endsWith('\r') ? QByteArray("\r") : QByteArray();
            ++m_dropped;
        }
        return lines;
    }
    const QByteArray& tail() const { return m_text; }
    int dropped() const { return m_dropped; }

private:
    QByteArray m_text;
    int m_dropped = 0;
};

} // namespace corvane::fuzz
