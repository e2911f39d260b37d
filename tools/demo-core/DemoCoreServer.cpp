#include "DemoCoreServer.h"

#include "FrameTrace.h"
#include "common/ListenAddress.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTcpSocket>

#include <algorithm>
#include <limits>

namespace corvane::demo {

namespace {
// Changes are made in small batches at this interval, however many a second are asked for.
constexpr int kChurnTickMs = 10;
// Paced sending goes out in slices at this interval.
constexpr int kPaceTickMs = 10;
// How often changes of the other Cores sharing the studio are looked for.
constexpr int kShareTickMs = 100;
// Before a check, time for the last changes of the other Cores to arrive.
constexpr int kCheckSettleMs = 1000;
} // namespace

DemoCoreServer::DemoCoreServer(const QDir& panelFolder, StudioCore::Credentials credentials,
                               QObject* parent)
    : QObject(parent), m_catalog(panelFolder),
      m_studio(m_catalog, m_state, std::move(credentials), *this) {
    connect(&m_server, &QTcpServer::newConnection, this, &DemoCoreServer::onNewConnection);
    m_churnTimer.setInterval(kChurnTickMs);
    connect(&m_churnTimer, &QTimer::timeout, this, &DemoCoreServer::onChurnTick);
    m_paceTimer.setInterval(kPaceTickMs);
    connect(&m_paceTimer, &QTimer::timeout, this, &DemoCoreServer::onPaceTick);
    m_shareTimer.setInterval(kShareTickMs);
    connect(&m_shareTimer, &QTimer::timeout, this, &DemoCoreServer::onShareTick);
}

DemoCoreServer::~DemoCoreServer() {
    for (const auto& connection : std::as_const(m_connections)) {
        connection->socket->disconnect(this);
        connection->socket->abort();
    }
}

bool DemoCoreServer::listen(const QHostAddress& address, quint16 port) {
    return m_server.listen(address, port);
}

void DemoCoreServer::onNewConnection() {
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
        auto connection = std::make_shared<Connection>();
        connection->socket = socket;
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        m_connections.insert(id, connection);
        m_studio.open(id);
        note(QStringLiteral("#%1 connected from %2").arg(id).arg(peer));
        connect(socket, &QTcpSocket::readyRead, this, [this, id] { onReadyRead(id); });
        connect(socket, &QTcpSocket::disconnected, this, [this, id] { onDisconnected(id); });
    }
}

void DemoCoreServer::onReadyRead(int id) {
    const auto connection = m_connections.value(id);
    if (!connection) {
        return;
    }
    const QString text = connection->decoder(connection->socket->readAll());
    for (const QString& piece : connection->buffer.append(text)) {
        ++m_framesReceived;
        if (m_trace) {
            m_trace(TraceLine(id, true, piece));
        }
        m_studio.handle(id, piece);
        if (!m_connections.contains(id)) {
            return; // the studio closed it
        }
    }
}

void DemoCoreServer::setChurn(double changesPerSecond) {
    m_churnPerSecond = std::max(0.0, changesPerSecond);
    m_churnDone = 0;
    m_churnClock.start();
    if (m_churnPerSecond > 0) {
        m_churnTimer.start();
    } else {
        m_churnTimer.stop();
    }
}

void DemoCoreServer::burst(int changes) {
    m_burstTotal = std::max(0, changes);
    m_burstDone = 0;
    m_burstClock.start();
    note(QStringLiteral("a burst of %1 changes").arg(m_burstTotal));
    m_churnTimer.start();
}

void DemoCoreServer::onChurnTick() {
    // As many changes as are due by now: the rate holds whatever the timer's jitter.
    const auto due = qint64(double(m_churnClock.elapsed()) * m_churnPerSecond / 1000.0);
    for (; m_churnDone < due; ++m_churnDone) {
        m_studio.churn();
    }
    if (m_burstDone < m_burstTotal) {
        const qint64 burstDue =
            std::min(m_burstTotal, m_burstClock.elapsed() * m_burstTotal / 1000 + 1);
        for (; m_burstDone < burstDue; ++m_burstDone) {
            m_studio.churn();
        }
    } else if (m_churnPerSecond <= 0) {
        m_churnTimer.stop();
    }
}

void DemoCoreServer::check() {
    setChurn(0);
    m_burstTotal = 0;
    note(QStringLiteral("check: the studio keeps still"));
    QTimer::singleShot(kCheckSettleMs, this, [this] {
        onShareTick();
        m_studio.check();
    });
}

bool DemoCoreServer::shareStudio(const QString& path) {
    const QString writer = QStringLiteral("%1-%2")
                               .arg(QCoreApplication::applicationPid())
                               .arg(QDateTime::currentMSecsSinceEpoch());
    m_journal = std::make_unique<StudioJournal>(path, writer);
    if (!m_journal->open()) {
        return false;
    }
    qint64 taken = 0;
    for (const StudioChange& change : m_journal->readOthers()) {
        m_state.apply(change);
        ++taken;
    }
    note(QStringLiteral("studio shared through %1: %2 changes taken over").arg(path).arg(taken));
    m_state.setChangeSink([this](const StudioChange& change) { m_journal->append(change); });
    m_shareTimer.start();
    return true;
}

QString DemoCoreServer::shareError() const {
    return m_journal ? m_journal->errorString() : QString();
}

void DemoCoreServer::onShareTick() {
    if (!m_journal) {
        return;
    }
    for (const StudioChange& change : m_journal->readOthers()) {
        m_studio.applyShared(change);
    }
}

void DemoCoreServer::setPace(qint64 bytesPerSecond) {
    m_paceBytesPerSecond = std::max<qint64>(0, bytesPerSecond);
    if (m_paceBytesPerSecond > 0) {
        m_paceTimer.start();
    } else {
        m_paceTimer.stop();
        onPaceTick(); // what waits goes at once
    }
}

void DemoCoreServer::onPaceTick() {
    const qint64 slice = m_paceBytesPerSecond > 0
                             ? std::max<qint64>(1, m_paceBytesPerSecond * kPaceTickMs / 1000)
                             : std::numeric_limits<qint64>::max();
    for (const auto& connection : std::as_const(m_connections)) {
        if (!connection->paced.isEmpty()) {
            const qint64 take = std::min<qint64>(slice, connection->paced.size());
            connection->socket->write(connection->paced.left(take));
            connection->paced.remove(0, take);
        }
        if (connection->paced.isEmpty() && connection->closeWhenSent) {
            connection->closeWhenSent = false;
            connection->socket->disconnectFromHost();
        }
    }
}

void DemoCoreServer::onDisconnected(int id) {
    const auto connection = m_connections.take(id);
    if (!connection) {
        return;
    }
    m_studio.close(id);
    connection->socket->deleteLater();
    note(QStringLiteral("#%1 left").arg(id));
}

void DemoCoreServer::send(int id, const QString& frame) {
    const auto connection = m_connections.value(id);
    if (!connection) {
        return;
    }
    if (m_trace) {
        m_trace(TraceLine(id, false, frame));
    }
    ++m_framesSent;
    if (m_paceBytesPerSecond > 0) {
        connection->paced += frame.toUtf8();
    } else {
        connection->socket->write(frame.toUtf8());
    }
    if (connection->socket->bytesToWrite() + connection->paced.size() > kMaxUnreadBytes) {
        note(QStringLiteral("#%1 reads nothing of what it is sent: dropped").arg(id));
        endLater(id, true);
    }
}

void DemoCoreServer::close(int id) {
    endLater(id, false);
}

void DemoCoreServer::endLater(int id, bool abort) {
    // Never while the studio is at work: closing a socket may report its loss at once, and
    // the studio must not lose a client in the middle of a frame. What was written before a
    // graceful close still leaves.
    QMetaObject::invokeMethod(
        this,
        [this, id, abort] {
            if (const auto connection = m_connections.value(id)) {
                if (abort) {
                    connection->socket->abort();
                } else if (!connection->paced.isEmpty()) {
                    connection->closeWhenSent = true;
                } else {
                    connection->socket->disconnectFromHost();
                }
            }
        },
        Qt::QueuedConnection);
}

void DemoCoreServer::note(const QString& text) {
    if (m_log) {
        m_log(VisibleText(text));
    }
}

} // namespace corvane::demo
