#include "DemoMeterServer.h"

#include "CoreChannelLink.h"
#include "common/ListenAddress.h"

#include <QTcpSocket>

namespace corvane::demo {

DemoMeterServer::DemoMeterServer(QObject* parent) : QObject(parent) {
    m_clock.start();
    connect(&m_server, &QTcpServer::newConnection, this, &DemoMeterServer::onNewConnection);
}

DemoMeterServer::~DemoMeterServer() {
    for (const auto& connection : std::as_const(m_connections)) {
        connection->socket->disconnect(this);
        connection->socket->abort();
    }
    m_connections.clear(); // sessions release their points while the pool still exists
}

bool DemoMeterServer::listen(const QHostAddress& address, quint16 port) {
    return m_server.listen(address, port);
}

void DemoMeterServer::followCore(const QString& core, const QString& user,
                                 const QString& password) {
    if (m_coreLink) {
        return;
    }
    m_coreLink = new CoreChannelLink(m_hints, core, user, password, this);
    connect(m_coreLink, &CoreChannelLink::connectedChanged, this, [this, core](bool connected) {
        note(connected ? QStringLiteral("following the channels of the Core at %1").arg(core)
                       : QStringLiteral("lost the Core at %1; trying again").arg(core));
    });
    m_pool.setWatchChanged([this](const DemoPoint& point, bool watched) {
        if (watched) {
            m_coreLink->watch(point);
        } else {
            m_coreLink->unwatch(point);
        }
    });
}

void DemoMeterServer::rememberPoints(const QString& path) {
    m_watch = std::make_unique<ResubscriptionWatch>(path);
    const qsizetype remembered = m_watch->start();
    note(remembered > 0 ? QStringLiteral("%1 points were listened to before this start; waiting "
                                         "for them to be subscribed again")
                              .arg(remembered)
                        : QStringLiteral("no points were listened to before this start"));
}

void DemoMeterServer::pointsChanged() {
    if (m_watch && m_watch->update(m_pool.points())) {
        note(QStringLiteral("all %1 points listened to before this start are subscribed again, "
                            "after %2 ms")
                 .arg(m_watch->rememberedCount())
                 .arg(m_watch->elapsedMs()));
    }
}

void DemoMeterServer::onNewConnection() {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        const QString peer = ListenAddress::describe(socket->peerAddress(), socket->peerPort());
        if (m_connections.size() >= kMaxConnections) {
            note(QStringLiteral("turned away %1: %2 clients are connected")
                     .arg(peer)
                     .arg(m_connections.size()));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        const int id = m_nextId++;
        auto connection = std::make_shared<Connection>(m_pool);
        connection->socket = socket;
        connection->timer.setInterval(connection->session.pollMs());
        connect(&connection->timer, &QTimer::timeout, this, [this, id] { onTick(id); });
        connection->timer.start();
        m_connections.insert(id, connection);
        note(QStringLiteral("#%1 connected from %2").arg(id).arg(peer));
        connect(socket, &QTcpSocket::readyRead, this, [this, id] { onReadyRead(id); });
        connect(socket, &QTcpSocket::disconnected, this, [this, id] { onDisconnected(id); });
    }
}

void DemoMeterServer::onReadyRead(int id) {
    const auto connection = m_connections.value(id);
    if (!connection) {
        return;
    }
    MeterSession& session = connection->session;
    const int pollBefore = session.pollMs();
    const qsizetype pointsBefore = session.subscriptionCount();
    const QList<QByteArray> lines = session.receive(connection->socket->readAll());
    if (m_trace) {
        for (const QByteArray& line : lines) {
            m_trace(QStringLiteral("#%1 <- %2").arg(id).arg(QString::fromLatin1(line)));
        }
    }
    if (session.pollMs() != pollBefore) {
        connection->timer.setInterval(session.pollMs());
        note(QStringLiteral("#%1 polls every %2 ms").arg(id).arg(session.pollMs()));
    }
    if (session.subscriptionCount() != pointsBefore) {
        // Remembered before it is told: whoever reads the line may stop the server at once.
        pointsChanged();
        note(QStringLiteral("#%1 listens to %2 points").arg(id).arg(session.subscriptionCount()));
    }
}

void DemoMeterServer::onDisconnected(int id) {
    if (const auto connection = m_connections.take(id)) {
        connection->timer.stop();
        connection->socket->deleteLater();
        note(QStringLiteral("#%1 left").arg(id));
        pointsChanged(); // the session's points are released with it
    }
}

void DemoMeterServer::onTick(int id) {
    const auto connection = m_connections.value(id);
    if (!connection || connection->socket->bytesToWrite() > kMaxUnreadBytes) {
        return;
    }
    const QByteArray lines = connection->session.levelLines(m_clock.elapsed());
    if (!lines.isEmpty()) {
        connection->socket->write(lines);
        m_linesSent += connection->session.subscriptionCount(); // one line a point
    }
}

void DemoMeterServer::note(const QString& text) {
    if (m_log) {
        m_log(text);
    }
}

} // namespace corvane::demo
