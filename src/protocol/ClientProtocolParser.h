#pragma once

#include "protocol/ClientDispatcher.h"
#include "protocol/ReceiveBuffer.h"

#include <QObject>
#include <QStringView>

namespace corvane {

class ProtocolHandlers;

// The receive side of the client protocol as the main window holds it: text from the Core
// connection goes into the receive buffer, and every frame it completes is dispatched, in
// arrival order. frmCVMini::MasterSocket_ReceivedData hands each received text to receive().
// It is one of the window's named parts, so the unfinished text a Core has left can be looked
// at from outside without the window offering it.
class ClientProtocolParser : public QObject {
    Q_OBJECT
public:
    explicit ClientProtocolParser(ProtocolHandlers& handlers,
                                  qsizetype maxTail = ReceiveBuffer::kDefaultMaxTail,
                                  QObject* parent = nullptr);

    // Never throws. The buffer is updated before any frame is handled, so a handler that
    // re-enters here sees a consistent buffer.
    void receive(QStringView newData) noexcept;

    const ReceiveBuffer& buffer() const { return m_buffer; }
    // Forgets the unfinished frame: a new connection starts with a frame of its own.
    void clear() { m_buffer.clear(); }

    // For the program's end: the frame being handled finishes, but the frames after it in the
    // same arrival, the unfinished tail and everything received later are dropped.
    void stop();
    bool stopped() const { return m_stopped; }

private:
    ReceiveBuffer m_buffer;
    ClientDispatcher m_dispatcher;
    bool m_stopped = false;
};

} // namespace corvane
