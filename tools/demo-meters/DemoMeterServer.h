#pragma once

#include <QHash>
#include <QObject>
#include <QTcpServer>
#include <QTimer>

#include <memory>

class QTcpSocket;

namespace corvane::demo {

// A small meter server for demonstrations: every client gets level lines, moving like
// programme material, for the points it has subscribed ("sm ..."), at the poll interval it
// asked for; "um ..." ends a point.
class DemoMeterServer : public QObject {
    Q_OBJECT
public:
    explicit DemoMeterServer(QObject* parent = nullptr);
    bool listen(quint16 port);

private:
    struct Point {
        QByteArray kind; // "SRC" or "DST"
        QByteArray router;
        QByteArray io;
        QByteArray address;
        double phase = 0;
    };
    struct Client {
        QByteArray unfinished;
        QHash<QByteArray, Point> points; // "kind router io" -> point
        QTimer timer;
    };

    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);
    void handleLine(Client& client, const QByteArray& line);
    void sendLevels(QTcpSocket* socket, Client& client);

    QTcpServer m_server;
    QHash<QTcpSocket*, std::shared_ptr<Client>> m_clients;
};

} // namespace corvane::demo
