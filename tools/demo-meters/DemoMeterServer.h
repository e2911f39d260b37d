#pragma once

#include "ChannelHints.h"
#include "MeterPointPool.h"
#include "MeterSession.h"
#include "ResubscriptionWatch.h"

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <QTimer>

#include <functional>
#include <memory>

class QTcpSocket;

namespace corvane::demo {

class CoreChannelLink;

// The demo meter server on the network: one session per client, each fed its level lines at
// its own poll interval. A client that stops reading is skipped until it catches up, so the
// server never buffers more than a few ticks for it.
class DemoMeterServer : public QObject {
    Q_OBJECT
public:
    using LineSink = std::function<void(const QString&)>;

    static constexpr int kMaxConnections = 64;
    static constexpr qint64 kMaxUnreadBytes = 1024 * 1024;

    explicit DemoMeterServer(QObject* parent = nullptr);
    ~DemoMeterServer() override;

    bool listen(const QHostAddress& address, quint16 port);
    QHostAddress serverAddress() const { return m_server.serverAddress(); }
    quint16 serverPort() const { return m_server.serverPort(); }
    QString errorString() const { return m_server.errorString(); }

    // Learn channel switches and gains from a Core ("host:port") instead of the start rules.
    void followCore(const QString& core, const QString& user, const QString& password);
    CoreChannelLink* coreLink() const { return m_coreLink; }

    // Keeps the points listened to in a file (see ResubscriptionWatch) and reports when the
    // points listened to before this start are all subscribed again.
    void rememberPoints(const QString& path);

    void setLog(LineSink log) { m_log = std::move(log); }
    // Every line received, one trace line each.
    void setTrace(LineSink trace) { m_trace = std::move(trace); }

    ChannelHints& hints() { return m_hints; }
    const MeterPointPool& pool() const { return m_pool; }
    int connectionCount() const { return int(m_connections.size()); }
    // Level lines sent to all clients so far.
    qint64 linesSent() const { return m_linesSent; }

private:
    struct Connection {
        explicit Connection(MeterPointPool& pool) : session(pool) {}
        QTcpSocket* socket = nullptr;
        MeterSession session;
        QTimer timer;
    };

    void onNewConnection();
    void onReadyRead(int id);
    void onDisconnected(int id);
    void onTick(int id);
    void note(const QString& text);
    void pointsChanged();

    QTcpServer m_server;
    ChannelHints m_hints;
    MeterPointPool m_pool{m_hints};
    CoreChannelLink* m_coreLink = nullptr;
    std::unique_ptr<ResubscriptionWatch> m_watch;
    QHash<int, std::shared_ptr<Connection>> m_connections;
    int m_nextId = 1;
    QElapsedTimer m_clock;
    LineSink m_log;
    LineSink m_trace;
    qint64 m_linesSent = 0;
};

} // namespace corvane::demo
