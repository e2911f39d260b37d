#include "support/TestMeterServer.h"

#include <QTcpSocket>

namespace corvane::test {

TestMeterServer::TestMeterServer(const QHostAddress& address, quint16 port, QObject* parent)
    : QObject(parent) {
    connect(&m_server, &QTcpServer::newConnection, this, &TestMeterServer::onNewConnection);
    if (m_server.listen(address, port)) {
        m_port = m_server.serverPort();
    }
}

TestMeterServer::~TestMeterServer() {
    close();
}

QList<QByteArray> TestMeterServer::linesStartingWith(const QByteArray& prefix) const {
    QList<QByteArray> result;
    for (const QByteArray& line : m_lines) {
        if (line.startsWith(prefix)) {
            result.append(line);
        }
    }
    return result;
}

qint64 TestMeterServer::bytesToWrite() const {
    qint64 bytes = 0;
    for (const QTcpSocket* socket : m_clients.keys()) {
        bytes += socket->bytesToWrite();
    }
    return bytes;
}

QByteArray TestMeterServer::levelLine(bool isDest, int router, int io, int peakLeft,
                                      int peakRight) {
    return QByteArray("MTR ") + (isDest ? "DST " : "SRC ") + QByteArray::number(router) + ' ' +
           QByteArray::number(io) + " path PEEK:" + QByteArray::number(peakLeft) + ':' +
           QByteArray::number(peakRight);
}

QByteArray TestMeterServer::levelLine(bool isDest, int router, int io, int peakLeft, int peakRight,
                                      int rmsLeft, int rmsRight) {
    return levelLine(isDest, router, io, peakLeft, peakRight) +
           " RMS:" + QByteArray::number(rmsLeft) + ':' + QByteArray::number(rmsRight);
}

void TestMeterServer::sendLine(const QByteArray& line) {
    sendRaw(line + "\r\n");
}

void TestMeterServer::sendRaw(const QByteArray& bytes) {
    if (m_stalled) {
        return;
    }
    for (QTcpSocket* socket : m_clients.keys()) {
        socket->write(bytes);
        socket->flush();
    }
}

void TestMeterServer::dropConnections() {
    for (QTcpSocket* socket : m_clients.keys()) {
        socket->disconnectFromHost();
    }
}

void TestMeterServer::setStalled(bool stalled) {
    m_stalled = stalled;
    // A tiny read buffer keeps the bytes in the kernel, so the client's writes back up.
    for (QTcpSocket* socket : m_clients.keys()) {
        socket->setReadBufferSize(stalled ? 1 : 0);
    }
    if (stalled) {
        m_server.pauseAccepting();
        return;
    }
    m_server.resumeAccepting();
    onNewConnection();
    for (QTcpSocket* socket : m_clients.keys()) {
        readFrom(socket);
    }
}

void TestMeterServer::close() {
    m_server.close();
    const auto sockets = m_clients.keys();
    m_clients.clear();
    for (QTcpSocket* socket : sockets) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
}

void TestMeterServer::onNewConnection() {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        m_clients.insert(socket, QByteArray());
        ++m_connectionCount;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QTcpSocket::disconnected, this,
                [this, socket] { onDisconnected(socket); });
        emit clientConnected();
    }
}

void TestMeterServer::readFrom(QTcpSocket* socket) {
    if (m_stalled) {
        return; // left in the socket until the server resumes
    }
    auto client = m_clients.find(socket);
    if (client == m_clients.end()) {
        return;
    }
    client.value() += socket->readAll();
    qsizetype end = 0;
    while ((end = client.value().indexOf("\r\n")) >= 0) {
        const QByteArray line = client.value().left(end);
        client.value().remove(0, end + 2);
        m_lines.append(line);
        emit lineReceived(line);
        client = m_clients.find(socket);
        if (client == m_clients.end()) {
            return; // a handler closed this client
        }
    }
}

void TestMeterServer::onDisconnected(QTcpSocket* socket) {
    if (m_clients.remove(socket)) {
        socket->deleteLater();
    }
}

} // namespace corvane::test
