#pragma once

#include "support/TestFrame.h"
#include "support/TestFrameCutter.h"

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>

class QTcpSocket;

namespace corvane::test {

// A Core for tests and demos: listens on loopback, answers the login as told, records every
// frame it receives and sends frames or raw bytes to every client connected to it.
class TestCore : public QObject {
    Q_OBJECT
public:
    enum class Login { Accept, Refuse, NeverAnswer };

    // Listens at once; port 0 picks a free port (see port()).
    explicit TestCore(const QHostAddress& address = QHostAddress(QHostAddress::LocalHost),
                      quint16 port = 0, QObject* parent = nullptr);
    ~TestCore() override;

    bool isListening() const { return m_server.isListening(); }
    quint16 port() const { return m_port; }
    QHostAddress address() const { return m_address; }
    // This Core as a hunt entry: "127.0.0.1:port" or "[::1]:port".
    QString huntEntry() const;

    // How the next logins are answered; Accept is the default.
    void setLoginBehaviour(Login behaviour) { m_login = behaviour; }
    Login loginBehaviour() const { return m_login; }
    // Raw bytes written right behind an accepting reply, in the same write.
    void setBytesAfterLoginReply(const QByteArray& bytes) { m_afterLogin = bytes; }

    // Every frame received so far, from all clients, in arrival order (logins included).
    QList<TestFrame> frames() const { return m_frames; }
    QList<TestFrame> framesWithCommand(int command) const;
    void clearFrames() { m_frames.clear(); }

    int loginCount() const { return m_loginCount; }
    QString loginUser() const { return m_loginUser; }         // of the last login
    QString loginPassword() const { return m_loginPassword; } // of the last login

    int connectionCount() const { return m_connectionCount; } // accepted since start
    int openConnections() const { return static_cast<int>(m_clients.size()); }
    // Bytes written to the clients that have not left yet, over all connections.
    qint64 bytesToWrite() const;

    // Both go to every open connection.
    void sendFrame(int command, const QString& addressBlock, const QString& payload);
    void sendRaw(const QByteArray& bytes);
    // Closes every open connection (after writing what is queued); keeps listening.
    void dropConnection();
    // Stops listening and drops every connection.
    void close();

signals:
    void clientConnected();
    void clientDisconnected();
    void loginReceived(const QString& user, const QString& password);
    void frameReceived(const corvane::test::TestFrame& frame);

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);
    void onDisconnected(QTcpSocket* socket);
    void handleFrame(QTcpSocket* socket, const TestFrame& frame);

    QTcpServer m_server;
    QHostAddress m_address;
    quint16 m_port = 0;
    Login m_login = Login::Accept;
    QByteArray m_afterLogin;
    QHash<QTcpSocket*, TestFrameCutter> m_clients;
    QList<TestFrame> m_frames;
    int m_loginCount = 0;
    QString m_loginUser;
    QString m_loginPassword;
    int m_connectionCount = 0;
};

} // namespace corvane::test
