#include "protocol/ClientProtocolParser.h"

#include "protocol/FrameTrace.h"
#include "support/LogCategories.h"

#include <utility>

namespace corvane {

ClientProtocolParser::ClientProtocolParser(ProtocolHandlers& handlers, qsizetype maxTail)
    : m_buffer(maxTail), m_dispatcher(handlers) {}

void ClientProtocolParser::receive(QStringView newData) noexcept {
    QStringList pieces;
    try {
        pieces = m_buffer.append(newData);
    } catch (...) {
        // Out of memory while cutting: what was buffered is lost, later frames still arrive.
        m_buffer.clear();
        return;
    }
    for (QString& piece : pieces) {
        qCDebug(lcProtocol).noquote() << "in" << DescribeFrame(piece);
        m_dispatcher.dispatch(std::move(piece));
    }
}

} // namespace corvane
