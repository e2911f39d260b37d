#pragma once

#include "support/TestFrame.h"

#include <QByteArray>
#include <QList>

namespace corvane::test {

// Cuts a byte stream into frames at every frame end (ETX ETX). Bytes are kept until their
// frame is complete; the search resumes where it stopped, and an unfinished frame longer
// than the bound is an error (the peer is then not speaking the protocol).
class TestFrameCutter {
public:
    static constexpr qsizetype kDefaultMaxFrameBytes = 4 * 1024 * 1024;

    explicit TestFrameCutter(qsizetype maxFrameBytes = kDefaultMaxFrameBytes);

    // Returns the frames completed by these bytes; sets overflowed() when the bound is hit.
    QList<TestFrame> feed(const QByteArray& bytes);
    bool overflowed() const { return m_overflowed; }
    qsizetype pendingBytes() const { return m_buffer.size(); }

private:
    qsizetype m_maxFrameBytes;
    QByteArray m_buffer;
    qsizetype m_scanFrom = 0;
    bool m_overflowed = false;
};

} // namespace corvane::test
