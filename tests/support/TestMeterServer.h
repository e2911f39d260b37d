#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTcpServer>

class QTcpSocket;

namespace corvane::test {

// A meter server for tests and demos: listens on loopback, records every line its clients send
// (CR LF removed), sends level lines to every client, and can drop or stall its connections.
class TestMeterServer : public QObject {
    Q_OBJECT
public:
    // Listens at once; port 0 picks a free port (see port()).
    explicit TestMeterServer(const QHostAddress& address = QHostAddress(QHostAddress::LocalHost),
                             quint16 port = 0, QObject* parent = nullptr);
    ~TestMeterServer() override;

    bool isListening() const { return m_server.isListening(); }
    quint16 port() const { return m_port; }

    // Every line received so far from all clients, in arrival order.
    QList<QByteArray> lines() const { return m_lines; }
    // Those that begin with the prefix ("sm ", "um ", "SetMeterPoll").
    QList<QByteArray> linesStartingWith(const QByteArray& prefix) const;
    void clearLines() { m_lines.clear(); }

    int connectionCount() const { return m_connectionCount; } // accepted since start
    int openConnections() const { return int(m_clients.size()); }
    // Bytes written to the clients that have not left yet, over all connections.
    qint64 bytesToWrite() const;

    // A level line: "MTR", "SRC"/"DST", router, I/O, path, "PEEK:l:r", and "RMS:l:r" when the
    // RMS levels are given.
    static QByteArray levelLine(bool isDest, int router, int io, int peakLeft, int peakRight);
    static QByteArray levelLine(bool isDest, int router, int io, int peakLeft, int peakRight,
                                int rmsLeft, int rmsRight);

    // Both go to every open connection; sendLine adds CR LF.
    void sendLine(const QByteArray& line);
    void sendRaw(const QByteArray& bytes);

    // Closes every open connection; keeps listening.
    void dropConnections();
    // A stalled server takes no new connections off its queue, reads nothing and sends
    // nothing: the client's bytes pile up unread. Resuming reads what has piled up.
    void setStalled(bool stalled);
    bool isStalled() const { return m_stalled; }
    // Stops listening and drops every connection.
    void close();

signals:
    void clientConnected();
    void lineReceived(const QByteArray& line);

private:
    void onNewConnection();
    void readFrom(QTcpSocket* socket);
    void onDisconnected(QTcpSocket* socket);

    QTcpServer m_server;
    quint16 m_port = 0;
    QHash<QTcpSocket*, QByteArray> m_clients; // socket -> its unfinished line
    QList<QByteArray> m_lines;
    int m_connectionCount = 0;
    bool m_stalled = false;
};

} // namespace corvane::test
