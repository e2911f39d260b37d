#include "DemoCoreServer.h"

#include "FrameTrace.h"
#include "common/ListenAddress.h"

#include <QTcpSocket>

#include <algorithm>

namespace corvane::demo {

namespace {
// Changes are made in small batches at this interval, however many a second are asked for.
constexpr int kChurnTickMs = 10;
} // namespace

DemoCoreServer::DemoCoreServer(const QDir& panelFolder, StudioCore::Credentials credentials,
                               QObject* parent)
    : QObject(parent), m_catalog(panelFolder),
      m_studio(m_catalog, m_state, std::move(credentials), *this) {
    connect(&m_server, &QTcpServer::newConnection, this, &DemoCoreServer::onNewConnection);
    m_churnTimer.setInterval(kChurnTickMs);
    connect(&m_churnTimer, &QTimer::timeout, this, &DemoCoreServer::onChurnTick);
}

DemoCoreServer::~DemoCoreServer() {
    for (const auto& connection : std::as_const(m_connections)) {
        connection->socket->disconnect(this);
        connection->socket->abort();
    }
}

bool DemoCoreServer::listen(const QHostAddress& address, quint16 port) {
    return m_server.listen(address, port);
}

void DemoCoreServer::onNewConnection() {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        const QString peer = ListenAddress::describe(socket->peerAddress(), socket->peerPort());
        if (m_connections.size() >= kMaxConnections) {
            note(QStringLiteral("turned away %1: %2 clients are connected")
                     .arg(peer)
                     .arg(m_connections.size()));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        const int id = m_nextId++;
        auto connection = std::make_shared<Connection>();
        connection->socket = socket;
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        m_connections.insert(id, connection);
        m_studio.open(id);
        note(QStringLiteral("#%1 connected from %2").arg(id).arg(peer));
        connect(socket, &QTcpSocket::readyRead, this, [this, id] { onReadyRead(id); });
        connect(socket, &QTcpSocket::disconnected, this, [this, id] { onDisconnected(id); });
    }
}

void DemoCoreServer::onReadyRead(int id) {
    const auto connection = m_connections.value(id);
    if (!connection) {
        return;
    }
    const QString text = connection->decoder(connection->socket->readAll());
    for (const QString& piece : connection->buffer.append(text)) {
        ++m_framesReceived;
        if (m_trace) {
            m_trace(TraceLine(id, true, piece));
        }
        m_studio.handle(id, piece);
        if (!m_connections.contains(id)) {
            return; // the studio closed it
        }
    }
}

void DemoCoreServer::setChurn(double changesPerSecond) {
    m_churnPerSecond = std::max(0.0, changesPerSecond);
    m_churnDone = 0;
    m_churnClock.start();
    if (m_churnPerSecond > 0) {
        m_churnTimer.start();
    } else {
        m_churnTimer.stop();
    }
}

void DemoCoreServer::onChurnTick() {
    // As many changes as are due by now: the rate holds whatever the timer's jitter.
    const auto due = qint64(double(m_churnClock.elapsed()) * m_churnPerSecond / 1000.0);
    for (; m_churnDone < due; ++m_churnDone) {
        m_studio.churn();
    }
}

void DemoCoreServer::onDisconnected(int id) {
    const auto connection = m_connections.take(id);
    if (!connection) {
        return;
    }
    m_studio.close(id);
    connection->socket->deleteLater();
    note(QStringLiteral("#%1 left").arg(id));
}

void DemoCoreServer::send(int id, const QString& frame) {
    const auto connection = m_connections.value(id);
    if (!connection) {
        return;
    }
    if (m_trace) {
        m_trace(TraceLine(id, false, frame));
    }
    ++m_framesSent;
    connection->socket->write(frame.toUtf8());
    if (connection->socket->bytesToWrite() > kMaxUnreadBytes) {
        note(QStringLiteral("#%1 reads nothing of what it is sent: dropped").arg(id));
        endLater(id, true);
    }
}

void DemoCoreServer::close(int id) {
    endLater(id, false);
}

void DemoCoreServer::endLater(int id, bool abort) {
    // Never while the studio is at work: closing a socket may report its loss at once, and
    // the studio must not lose a client in the middle of a frame. What was written before a
    // graceful close still leaves.
    QMetaObject::invokeMethod(
        this,
        [this, id, abort] {
            if (const auto connection = m_connections.value(id)) {
                if (abort) {
                    connection->socket->abort();
                } else {
                    connection->socket->disconnectFromHost();
                }
            }
        },
        Qt::QueuedConnection);
}

void DemoCoreServer::note(const QString& text) {
    if (m_log) {
        m_log(VisibleText(text));
    }
}

} // namespace corvane::demo
