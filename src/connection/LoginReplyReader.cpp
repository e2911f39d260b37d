#include "connection/LoginReplyReader.h"

#include "protocol/ClientProtocolConsts.h"

namespace corvane {

namespace {
const QByteArray kFrameEnd("\x03\x03", 2);
} // namespace

LoginReplyReader::LoginReplyReader(qsizetype maxBytes) : m_maxBytes(maxBytes) {}

void LoginReplyReader::reset() {
    m_buffer.clear();
    m_scanFrom = 0;
    m_remainder.clear();
    m_refusal.clear();
    m_result = Result::Pending;
}

QByteArray LoginReplyReader::takeRemainder() {
    return std::exchange(m_remainder, QByteArray());
}

LoginReplyReader::Result LoginReplyReader::refuse(const QString& why) {
    m_refusal = why;
    m_result = Result::Refused;
    m_buffer.clear();
    return m_result;
}

LoginReplyReader::Result LoginReplyReader::feed(const QByteArray& bytes) {
    if (m_result != Result::Pending) {
        return m_result;
    }
    m_buffer.append(bytes);
    const qsizetype end = m_buffer.indexOf(kFrameEnd, m_scanFrom);
    if (end < 0) {
        if (m_buffer.size() > m_maxBytes) {
            return refuse(QStringLiteral("login reply exceeds %1 bytes").arg(m_maxBytes));
        }
        // The last byte may be the first half of a frame end.
        m_scanFrom = qMax<qsizetype>(0, m_buffer.size() - 1);
        return m_result;
    }
    if (end > m_maxBytes) {
        return refuse(QStringLiteral("login reply exceeds %1 bytes").arg(m_maxBytes));
    }

    // Positions in a frame count characters, so the header is measured in decoded text.
    const QString frame = QString::fromUtf8(m_buffer.left(end));
    m_remainder = m_buffer.mid(end + kFrameEnd.size());
    m_buffer.clear();
    if (!frame.startsWith(modClientProtocolConsts::strFrameStart) ||
        frame.size() < kFrameHeaderLength ||
        frame.at(modClientProtocolConsts::strFrameStart.size()).unicode() != Command::Login) {
        m_remainder.clear();
        return refuse(QStringLiteral("first frame from the Core is not a login reply"));
    }
    const QString payload = frame.mid(kFrameHeaderLength);
    if (!payload.startsWith(QLatin1String("Yes"))) {
        m_remainder.clear();
        return refuse(QStringLiteral("login refused: \"%1\"").arg(payload.left(200)));
    }
    m_result = Result::Accepted;
    return m_result;
}

} // namespace corvane
