#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace corvane {

// The client's receive buffer (strReceiveBuffer): gathers the text the Core connection hands
// over in arbitrary pieces and cuts it at every frame end (ETX ETX), left to right, without
// overlap. Each arrival is scanned only from where the previous scan stopped, so a frame that
// arrives in thousands of pieces costs time in proportion to its length.
class ReceiveBuffer {
public:
    static constexpr qsizetype kDefaultMaxTail = qsizetype(64) * 1024 * 1024;

    // maxTail bounds the unfinished tail, in characters.
    explicit ReceiveBuffer(qsizetype maxTail = kDefaultMaxTail);

    // Appends newly received text and returns the pieces that are now complete, in order, each
    // the text between two frame ends with the frame end removed. Nothing is cut while the
    // buffer holds 2 characters or fewer. When the buffer then ends with a frame end it is
    // emptied and every piece is complete (the empty text after the final frame end is not a
    // piece); otherwise the text after the last frame end stays buffered.
    // A tail that would grow beyond maxTail is dropped, with a warning: that unfinished piece
    // is lost and cutting resumes with the next frame end.
    QStringList append(QStringView newData);

    // The unfinished tail, as it is buffered now.
    const QString& buffered() const { return m_buffer; }
    qsizetype maxTail() const { return m_maxTail; }
    void clear();

private:
    void dropOversizeTail();

    QString m_buffer;
    // Where the search for the next frame end resumes: every earlier position of m_buffer is
    // known not to start one. It trails the end by one character, as a frame end may arrive
    // split over two pieces.
    qsizetype m_scanFrom = 0;
    qsizetype m_maxTail;
};

} // namespace corvane
