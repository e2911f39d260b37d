#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace corvane {

class ProtocolHandlers;

// The header fields and payload of one received frame.
struct IncomingFrame {
    int command = 0;
    qint32 router = 0;
    qint32 sourceIo = 0; // 1 or more: the frame addresses a source
    qint32 destIo = 0;   // else 1 or more: it addresses a destination
    QStringView payload;
};

// Decodes one piece cut by the receive buffer and hands it to the operation its command
// number calls for. Commands the client does not handle are ignored.
class ClientDispatcher {
public:
    explicit ClientDispatcher(ProtocolHandlers& handlers);

    // Nothing unless the piece begins with the frame start and holds a whole header. Each
    // address field is four hexadecimal digits read as 0 to 65535; a field that is not
    // hexadecimal reads as 0 and the frame is still handled.
    static std::optional<IncomingFrame> decode(QStringView piece);

    // Handles one piece. Never throws: a failure in an operation ends this piece only.
    void dispatch(QString piece) noexcept;

private:
    void handle(const IncomingFrame& frame, const QString& payload);
    void handleStatusReply(QStringView payload);
    void handleLoginReply(QStringView payload);
    void handlePanelDefinition(const QString& payload);
    void handleIoAddress(const IncomingFrame& frame, const QString& payload);

    ProtocolHandlers& m_handlers;
};

} // namespace corvane
