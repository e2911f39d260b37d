#pragma once

#include "connection/CoreConnector.h"

#include <QHostAddress>
#include <QList>
#include <QString>
#include <QTcpServer>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace corvane::test {

// Short enough to keep the suite fast, long enough for loopback on a busy machine.
inline CoreConnectorTimings fastTimings() {
    CoreConnectorTimings timings;
    timings.connectTimeoutMs = 1500;
    timings.loginTimeoutMs = 1500;
    timings.listPauseMs = 150;
    timings.reconnectDelayMs = 100;
    return timings;
}

// Everything a connector raises, in order.
struct ConnectorLog {
    QStringList switched;  // hosts of HuntSwitched
    QList<bool> connected; // ConnectedChanged values
    QStringList messages;  // MessageToClient texts
    QStringList debug;     // DebugMessage texts
    QStringList events;    // "switch", "up", "down", "message", "debug" in order

    explicit ConnectorLog(CoreConnector& connector) {
        QObject::connect(&connector, &CoreConnector::HuntSwitched, &connector,
                         [this](const QString& host, const QString&) {
                             switched.append(host);
                             events.append(QStringLiteral("switch"));
                         });
        QObject::connect(&connector, &CoreConnector::ConnectedChanged, &connector, [this](bool up) {
            connected.append(up);
            events.append(up ? QStringLiteral("up") : QStringLiteral("down"));
        });
        QObject::connect(&connector, &CoreConnector::MessageToClient, &connector,
                         [this](const QString& text) {
                             messages.append(text);
                             events.append(QStringLiteral("message"));
                         });
        QObject::connect(&connector, &CoreConnector::DebugMessage, &connector,
                         [this](const QString& text) {
                             debug.append(text);
                             events.append(QStringLiteral("debug"));
                         });
    }
    QString allText() const { return messages.join(QString()); }
};

// A loopback port nobody listens on: connections to it are refused at once.
inline quint16 closedLoopbackPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

// A loopback listener whose accept queue is kept full, so that further TCP connects to it
// neither succeed nor fail: the kernel drops their SYNs. Unusable (port 0) where the kernel
// behaves otherwise.
class SilentListener {
public:
    SilentListener() {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_listener < 0 ||
            ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(m_listener, 0) != 0 ||
            ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            return;
        }
        // Fill the queue until a connect stays pending.
        for (int i = 0; i < 8; ++i) {
            const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            m_fillers.push_back(filler);
            ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
            pollfd poll{filler, POLLOUT, 0};
            if (::poll(&poll, 1, 200) == 0) {
                m_port = ntohs(address.sin_port);
                return;
            }
        }
    }
    ~SilentListener() {
        for (int fd : m_fillers) {
            ::close(fd);
        }
        if (m_listener >= 0) {
            ::close(m_listener);
        }
    }
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    quint16 port() const { return m_port; }

private:
    int m_listener = -1;
    std::vector<int> m_fillers;
    quint16 m_port = 0;
};

} // namespace corvane::test
