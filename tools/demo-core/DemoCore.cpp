#include "DemoCore.h"

#include "protocol/ClientProtocolConsts.h"
#include "protocol/FrameBuilder.h"

#include <QFile>
#include <QTcpSocket>
#include <QTextStream>

namespace corvane::demo {

namespace {

QTextStream& log() {
    static QTextStream out(stdout);
    return out;
}

QString printable(QString text) {
    for (QChar& c : text) {
        if (c.unicode() < 32) {
            c = QChar(0x00B7);
        }
    }
    return text.left(200);
}

} // namespace

DemoCore::DemoCore(const QDir& panelFolder, QObject* parent)
    : QObject(parent), m_panelFolder(panelFolder) {
    connect(&m_server, &QTcpServer::newConnection, this, &DemoCore::onNewConnection);
}

bool DemoCore::listen(quint16 port) {
    return m_server.listen(QHostAddress::Any, port);
}

void DemoCore::onNewConnection() {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        m_clients.insert(socket, std::make_shared<Client>());
        log() << "client connected from " << socket->peerAddress().toString() << Qt::endl;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            log() << "client left" << Qt::endl;
            m_clients.remove(socket);
            socket->deleteLater();
        });
    }
}

void DemoCore::onReadyRead(QTcpSocket* socket) {
    const auto client = m_clients.value(socket);
    if (!client) {
        return;
    }
    const QString text = client->decoder(socket->readAll());
    for (const QString& frame : client->buffer.append(text)) {
        handleFrame(socket, *client, frame);
    }
}

void DemoCore::handleFrame(QTcpSocket* socket, Client& client, const QString& frame) {
    if (!frame.startsWith(modClientProtocolConsts::strFrameStart) || frame.size() < 15) {
        return;
    }
    const int command = frame.at(2).unicode();
    const QString payload = frame.mid(15);
    log() << "<- " << command << " " << printable(frame.mid(3, 12)) << " " << printable(payload)
          << Qt::endl;
    if (command == Command::Login && payload.startsWith(QLatin1String("LOGIN"))) {
        client.loggedIn = true;
        send(socket, Command::Login, QStringLiteral("Yes"));
    } else if (command == Command::PanelDefinition && client.loggedIn) {
        sendPanel(socket, payload);
    } else if (command == Command::PropertyChange && payload.startsWith(QLatin1Char('T'))) {
        toggleButton(socket, client, payload.mid(1));
    }
}

void DemoCore::toggleButton(QTcpSocket* socket, Client& client, const QString& qualifiedName) {
    const bool on = !client.litButtons.contains(qualifiedName);
    if (on) {
        client.litButtons.insert(qualifiedName);
    } else {
        client.litButtons.remove(qualifiedName);
    }
    send(socket, Command::PropertyChange,
         qualifiedName + (on ? QStringLiteral(".State=on") : QStringLiteral(".State=off")));
}

void DemoCore::sendPanel(QTcpSocket* socket, const QString& panelName) {
    QString name = panelName.trimmed();
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1String(".."))) {
        name = QStringLiteral("demo");
    }
    QFile file(m_panelFolder.filePath(name + QStringLiteral(".xml")));
    if (!file.open(QIODevice::ReadOnly)) {
        log() << "no panel named " << name << " in " << m_panelFolder.path() << Qt::endl;
        return;
    }
    const QString definition = QString::fromUtf8(file.readAll());
    send(socket, Command::PanelDefinition,
         name + modClientProtocolConsts::strFieldSeparator + definition);
    log() << "-> panel " << name << " (" << definition.size() << " characters)" << Qt::endl;
}

void DemoCore::send(QTcpSocket* socket, int command, const QString& payload) {
    socket->write(BuildFrame(command, modClientProtocolConsts::strNoAddress, payload).toUtf8());
}

} // namespace corvane::demo
