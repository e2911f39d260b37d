#include "support/TestCore.h"

#include "protocol/ClientProtocolConsts.h"

#include <QTcpSocket>

namespace corvane::test {

TestCore::TestCore(const QHostAddress& address, quint16 port, QObject* parent)
    : QObject(parent), m_address(address) {
    connect(&m_server, &QTcpServer::newConnection, this, &TestCore::onNewConnection);
    if (m_server.listen(address, port)) {
        m_port = m_server.serverPort();
    }
}

TestCore::~TestCore() {
    close();
}

QString TestCore::huntEntry() const {
    const QString host = m_address.toString();
    return m_address.protocol() == QAbstractSocket::IPv6Protocol
               ? QStringLiteral("[%1]:%2").arg(host).arg(m_port)
               : QStringLiteral("%1:%2").arg(host).arg(m_port);
}

QList<TestFrame> TestCore::framesWithCommand(int command) const {
    QList<TestFrame> result;
    for (const TestFrame& frame : m_frames) {
        if (frame.command() == command) {
            result.append(frame);
        }
    }
    return result;
}

qint64 TestCore::bytesToWrite() const {
    qint64 bytes = 0;
    for (const QTcpSocket* socket : m_clients.keys()) {
        bytes += socket->bytesToWrite();
    }
    return bytes;
}

void TestCore::sendFrame(int command, const QString& addressBlock, const QString& payload) {
    sendRaw(TestFrame::build(command, addressBlock, payload));
}

void TestCore::sendRaw(const QByteArray& bytes) {
    for (QTcpSocket* socket : m_clients.keys()) {
        socket->write(bytes);
        socket->flush();
    }
}

void TestCore::dropConnection() {
    for (QTcpSocket* socket : m_clients.keys()) {
        socket->disconnectFromHost();
    }
}

void TestCore::close() {
    m_server.close();
    const auto sockets = m_clients.keys();
    m_clients.clear();
    for (QTcpSocket* socket : sockets) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
}

void TestCore::onNewConnection() {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        m_clients.insert(socket, TestFrameCutter());
        ++m_connectionCount;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this,
                [this, socket] { onDisconnected(socket); });
        emit clientConnected();
    }
}

void TestCore::onReadyRead(QTcpSocket* socket) {
    auto client = m_clients.find(socket);
    if (client == m_clients.end()) {
        return;
    }
    const QList<TestFrame> frames = client->feed(socket->readAll());
    if (client->overflowed()) {
        socket->abort(); // not speaking the protocol
        return;
    }
    for (const TestFrame& frame : frames) {
        if (!m_clients.contains(socket)) {
            return; // a handler closed this client
        }
        handleFrame(socket, frame);
    }
}

void TestCore::onDisconnected(QTcpSocket* socket) {
    if (m_clients.remove(socket)) {
        socket->deleteLater();
        emit clientDisconnected();
    }
}

void TestCore::handleFrame(QTcpSocket* socket, const TestFrame& frame) {
    m_frames.append(frame);
    const QStringList fields = frame.fields();
    if (frame.command() == Command::Login && fields.value(0) == QLatin1String("LOGIN")) {
        ++m_loginCount;
        m_loginUser = fields.value(1);
        m_loginPassword = fields.mid(2).join(modClientProtocolConsts::strFieldSeparator);
        switch (m_login) {
        case Login::Accept:
            socket->write(TestFrame::build(Command::Login, modClientProtocolConsts::strNoAddress,
                                           QStringLiteral("Yes")) +
                          m_afterLogin);
            break;
        case Login::Refuse:
            socket->write(TestFrame::build(Command::Login, modClientProtocolConsts::strNoAddress,
                                           QStringLiteral("No")));
            break;
        case Login::NeverAnswer:
            break;
        }
        emit loginReceived(m_loginUser, m_loginPassword);
    }
    emit frameReceived(frame);
}

} // namespace corvane::test
