#include "DemoMeterServer.h"

#include <QRandomGenerator>
#include <QTcpSocket>
#include <QTextStream>

#include <algorithm>
#include <cmath>

namespace corvane::demo {

namespace {

constexpr int kMaxUnfinished = 10000;

QTextStream& log() {
    static QTextStream out(stdout);
    return out;
}

} // namespace

DemoMeterServer::DemoMeterServer(QObject* parent) : QObject(parent) {
    connect(&m_server, &QTcpServer::newConnection, this, &DemoMeterServer::onNewConnection);
}

bool DemoMeterServer::listen(quint16 port) {
    return m_server.listen(QHostAddress::Any, port);
}

void DemoMeterServer::onNewConnection() {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        auto client = std::make_shared<Client>();
        client->timer.setInterval(120);
        connect(&client->timer, &QTimer::timeout, socket,
                [this, socket, client = client.get()] { sendLevels(socket, *client); });
        client->timer.start();
        m_clients.insert(socket, client);
        log() << "meter client connected from " << socket->peerAddress().toString() << Qt::endl;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            log() << "meter client left" << Qt::endl;
            m_clients.remove(socket);
            socket->deleteLater();
        });
    }
}

void DemoMeterServer::onReadyRead(QTcpSocket* socket) {
    const auto client = m_clients.value(socket);
    if (!client) {
        return;
    }
    client->unfinished += socket->readAll();
    qsizetype end = 0;
    while ((end = client->unfinished.indexOf("\r\n")) >= 0) {
        const QByteArray line = client->unfinished.left(end);
        client->unfinished.remove(0, end + 2);
        handleLine(*client, line);
    }
    if (client->unfinished.size() > kMaxUnfinished) {
        client->unfinished.clear();
    }
}

void DemoMeterServer::handleLine(Client& client, const QByteArray& line) {
    log() << "<- " << line << Qt::endl;
    const QList<QByteArray> words = line.split(' ');
    if (words.size() == 2 && words[0] == "SetMeterPoll") {
        client.timer.setInterval(std::clamp(words[1].toInt(), 20, 2000));
        return;
    }
    if (words.size() < 5 || (words[0] != "sm" && words[0] != "um")) {
        return;
    }
    const QByteArray key = words[1] + ' ' + words[2] + ' ' + words[3];
    if (words[0] == "um") {
        client.points.remove(key);
        return;
    }
    Point point{words[1], words[2], words[3], words.mid(4).join(' '),
                QRandomGenerator::global()->bounded(6.28)};
    client.points.insert(key, point);
}

void DemoMeterServer::sendLevels(QTcpSocket* socket, Client& client) {
    QByteArray out;
    auto* random = QRandomGenerator::global();
    for (Point& point : client.points) {
        point.phase += 0.09;
        const double base = -20 + 13 * std::sin(point.phase) + 4 * std::sin(point.phase * 3.7);
        const int left = int(base + random->bounded(5));
        const int right = int(base + random->bounded(5));
        out += "MTR " + point.kind + ' ' + point.router + ' ' + point.io + ' ' + point.address +
               " PEEK:" + QByteArray::number(left) + ':' + QByteArray::number(right) +
               " RMS:" + QByteArray::number(left - 8) + ':' + QByteArray::number(right - 8) +
               "\r\n";
    }
    if (!out.isEmpty()) {
        socket->write(out);
    }
}

} // namespace corvane::demo
