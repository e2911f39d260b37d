#pragma once

#include <QByteArray>
#include <QString>

namespace corvane {

// Collects what a Core sends after our login frame until its reply frame (command 40) is
// complete. The reply is cut at the first frame end; the bytes after it belong to the
// ordinary traffic and are handed back untouched. The collected bytes are bounded, so a peer
// that never ends its reply cannot make us grow.
class LoginReplyReader {
public:
    enum class Result { Pending, Accepted, Refused };

    static constexpr qsizetype kDefaultMaxBytes = 64 * 1024;

    explicit LoginReplyReader(qsizetype maxBytes = kDefaultMaxBytes);

    // Adds received bytes. Once the result is Accepted or Refused it stays so, and further
    // input is ignored.
    Result feed(const QByteArray& bytes);

    Result result() const { return m_result; }
    // Bytes that followed the reply frame in the input fed so far (Accepted only).
    QByteArray takeRemainder();
    // Why the login was refused, for diagnostics.
    QString refusal() const { return m_refusal; }

    void reset();

private:
    Result refuse(const QString& why);

    qsizetype m_maxBytes;
    QByteArray m_buffer;
    qsizetype m_scanFrom = 0; // where the search for the frame end resumes
    QByteArray m_remainder;
    QString m_refusal;
    Result m_result = Result::Pending;
};

} // namespace corvane
