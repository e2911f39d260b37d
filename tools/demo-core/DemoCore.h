#pragma once

#include "protocol/ReceiveBuffer.h"

#include <QDir>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringDecoder>
#include <QTcpServer>

#include <memory>

class QTcpSocket;

namespace corvane::demo {

// A small Core for demonstrations: accepts every login, answers a panel request with the panel
// definition file of that name from its panel folder, switches a button on or off each time it
// is pushed, and logs what the client sends.
class DemoCore : public QObject {
    Q_OBJECT
public:
    DemoCore(const QDir& panelFolder, QObject* parent = nullptr);
    bool listen(quint16 port);

private:
    struct Client {
        QStringDecoder decoder{QStringDecoder::Utf8};
        ReceiveBuffer buffer{4 * 1024 * 1024};
        bool loggedIn = false;
        QSet<QString> litButtons; // "panel.button" of the buttons this Core has switched on
    };

    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);
    void handleFrame(QTcpSocket* socket, Client& client, const QString& frame);
    void sendPanel(QTcpSocket* socket, const QString& panelName);
    void toggleButton(QTcpSocket* socket, Client& client, const QString& qualifiedName);
    static void send(QTcpSocket* socket, int command, const QString& payload);

    QDir m_panelFolder;
    QTcpServer m_server;
    QHash<QTcpSocket*, std::shared_ptr<Client>> m_clients;
};

} // namespace corvane::demo
