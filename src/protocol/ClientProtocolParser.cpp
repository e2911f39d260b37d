#include "protocol/ClientProtocolParser.h"

#include "protocol/FrameTrace.h"
#include "support/LogCategories.h"

#include <utility>

namespace corvane {

ClientProtocolParser::ClientProtocolParser(ProtocolHandlers& handlers, qsizetype maxTail,
                                           QObject* parent)
    : QObject(parent), m_buffer(maxTail), m_dispatcher(handlers) {
    setObjectName(QStringLiteral("ClientProtocolParser"));
}

void ClientProtocolParser::receive(QStringView newData) noexcept {
    if (m_stopped) {
        return;
    }
    QStringList pieces;
    try {
        pieces = m_buffer.append(newData);
    } catch (...) {
        // Out of memory while cutting: what was buffered is lost, later frames still arrive.
        m_buffer.clear();
        return;
    }
    for (QString& piece : pieces) {
        if (m_stopped) {
            qCDebug(lcProtocol).noquote() << "dropped at the end" << DescribeFrame(piece);
            continue;
        }
        qCDebug(lcProtocol).noquote() << "in" << DescribeFrame(piece);
        m_dispatcher.dispatch(std::move(piece));
    }
}

void ClientProtocolParser::stop() {
    m_stopped = true;
    m_buffer.clear();
}

} // namespace corvane
