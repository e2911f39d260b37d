#include "meters/frmMeterWinsock.h"

#include "meters/MeterServerLines.h"
#include "support/LogCategories.h"

#include <QElapsedTimer>

namespace corvane {

frmMeterWinsock::frmMeterWinsock(FrameSender& core, MeterRoutes& routes,
                                 MeterSubscriptions::PointSource points, AddressLookup& addresses,
                                 const RuntimeTimings& timings, MeterSubscriptions::Clock clock,
                                 QObject* parent)
    : QObject(parent), m_pollValue(timings.meterPollValue),
      m_subscriptions(*this, core, addresses, std::move(points), clock, timings.meterQuietLimitMs),
      m_receiver(routes, m_subscriptions.collOpenMeters(), clock) {
    setObjectName(QStringLiteral("frmMeterWinsock"));
    m_socket.setObjectName(QStringLiteral("MeterWinsock"));
    m_timConnectionChecker.setObjectName(QStringLiteral("timConnectionChecker"));
    m_timConnectionChecker.setInterval(timings.meterCheckMs);
    connect(&m_timConnectionChecker, &QTimer::timeout, this,
            &frmMeterWinsock::timConnectionChecker_Timer);
    connect(&m_socket, &QTcpSocket::connected, this, &frmMeterWinsock::MeterWinsock_Connect);
    connect(&m_socket, &QTcpSocket::readyRead, this, &frmMeterWinsock::MeterWinsock_DataArrival);
    connect(&m_socket, &QAbstractSocket::stateChanged, this,
            &frmMeterWinsock::MeterWinsock_StateChanged);
    m_closeWaitLimit.setSingleShot(true);
    m_closeWaitLimit.setInterval(timings.meterCloseWaitLimitMs);
    connect(&m_closeWaitLimit, &QTimer::timeout, this, &frmMeterWinsock::closeWaitExpired);
    // Errors and remote closes need no handling here, the connection checker repairs them.
    // They are only told, so that a maintainer sees why levels stopped: once until the next
    // connection, not at every retry of a server that stays away.
    connect(&m_socket, &QAbstractSocket::errorOccurred, this, [this] {
        const QString error = m_socket.errorString();
        if (error != m_errorTold) {
            m_errorTold = error;
            qCInfo(lcMeters).noquote() << "meter server" << target() << error;
        }
        if (m_IsRunning && !m_wasConnected) {
            emit levelsLost(); // a failed attempt; a lost connection is told by its state
        }
    });
}

QString frmMeterWinsock::target() const {
    return m_strMeterHost + QLatin1Char(':') + QString::number(m_intMeterPort);
}

frmMeterWinsock::~frmMeterWinsock() {
    m_socket.disconnect(this);
    m_socket.abort();
}

qint64 frmMeterWinsock::monotonicMs() {
    static const QElapsedTimer started = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return started.elapsed();
}

void frmMeterWinsock::setIsRunning(bool running) {
    m_IsRunning = running;
    if (running) {
        if (!m_timConnectionChecker.isActive()) {
            m_timConnectionChecker.start();
        }
    } else {
        m_timConnectionChecker.stop();
        m_receiver.clear();
    }
}

bool frmMeterWinsock::isConnected() const {
    return m_socket.state() == QAbstractSocket::ConnectedState;
}

void frmMeterWinsock::sendLine(const QByteArray& line) {
    if (m_socket.bytesToWrite() > kMaxPendingWriteBytes) {
        // A server that reads nothing must not make us buffer without end. A subscription
        // dropped here goes out again when its point is found quiet, or on the next connection.
        if (m_linesDropped++ == m_linesDroppedTold) {
            qCWarning(lcMeters).noquote()
                << "meter server" << target() << "reads nothing: lines to it are dropped";
        }
        return;
    }
    m_linesDroppedTold = m_linesDropped;
    qCDebug(lcMeters).noquote() << "to meter server" << line.trimmed();
    m_socket.write(line);
}

void frmMeterWinsock::MeteringStart(const QString& ipAddress, quint16 Port) {
    setIsRunning(true);
    m_strMeterHost = ipAddress;
    m_intMeterPort = Port;
    if (beginClose()) {
        connectNow();
    } else {
        m_connectAfterClose = true; // made when the old connection has closed
    }
}

void frmMeterWinsock::MeteringStop(bool NoReset) {
    if (!NoReset) {
        setIsRunning(false);
    }
    // A stop wins over a start that was waiting for the old connection to close.
    m_connectAfterClose = false;
    const bool closingTellsLoss = m_wasConnected;
    beginClose();
    if (!NoReset && !closingTellsLoss) {
        emit levelsLost();
    }
}

void frmMeterWinsock::CheckConnection(qint32 router, qint32 io) {
    if (!m_IsRunning) {
        return;
    }
    const bool targeted = router > 0 && io > 0;
    if (targeted) {
        // An address reply. Its own point's subscription has gone out with the address; a
        // connection that is down is left to the regular check, and one that is being made
        // is left to finish, since its connect event subscribes every point. Restarted for
        // each reply of a burst, it would reconnect once per reply.
        return;
    }
    if (!isConnected()) {
        MeteringStop(true);
        MeteringStart(m_strMeterHost, m_intMeterPort);
    }
    m_subscriptions.RefreshOpenMeters(router, io);
}

bool frmMeterWinsock::beginClose() {
    switch (m_socket.state()) {
    case QAbstractSocket::UnconnectedState:
        return true;
    case QAbstractSocket::ConnectedState:
        // Lines still queued (unsubscriptions at shut-down) are written before it closes.
        m_socket.disconnectFromHost();
        break;
    case QAbstractSocket::ClosingState:
        break; // already on its way
    default:
        // Still looking up or connecting: nothing has been said on it, nothing to flush. A
        // server that never answers must not hold up the new connection.
        m_socket.abort();
        break;
    }
    if (m_socket.state() == QAbstractSocket::UnconnectedState) {
        m_closeWaitLimit.stop();
        return true;
    }
    if (!m_closeWaitLimit.isActive()) {
        m_closeWaitLimit.start();
    }
    return false;
}

void frmMeterWinsock::MeterWinsock_StateChanged(QAbstractSocket::SocketState state) {
    if (state == QAbstractSocket::ConnectedState) {
        m_wasConnected = true;
        return;
    }
    if (m_wasConnected) {
        m_wasConnected = false;
        emit levelsLost();
    }
    if (state != QAbstractSocket::UnconnectedState || !m_closeWaitLimit.isActive()) {
        return;
    }
    m_closeWaitLimit.stop();
    if (m_connectAfterClose && m_IsRunning) {
        // Not from inside the socket's own signal: Qt is still finishing the close.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_connectAfterClose && m_IsRunning &&
                    m_socket.state() == QAbstractSocket::UnconnectedState) {
                    connectNow();
                }
            },
            Qt::QueuedConnection);
    }
}

void frmMeterWinsock::closeWaitExpired() {
    if (m_socket.state() == QAbstractSocket::UnconnectedState) {
        return;
    }
    qCWarning(lcMeters).noquote() << "meter server" << target()
                                  << "did not close its connection: metering is switched off";
    m_connectAfterClose = false;
    m_socket.abort(); // given up; nothing of this connection is used again
    setIsRunning(false);
    emit levelsLost();
}

void frmMeterWinsock::connectNow() {
    m_connectAfterClose = false;
    qCDebug(lcMeters).noquote() << "connecting to meter server" << target();
    m_socket.connectToHost(m_strMeterHost, m_intMeterPort);
}

void frmMeterWinsock::MeterWinsock_Connect() {
    m_errorTold.clear();
    qCInfo(lcMeters).noquote() << "connected to meter server" << target();
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    // A line the last connection left unfinished is never completed: joined to this one's
    // first text it would read as a level that nobody sent, and cost the first real line.
    m_receiver.clear();
    sendLine(PollLine(m_pollValue));
    ResubscribeAllOpen();
    emit levelsBack();
}

void frmMeterWinsock::MeterWinsock_DataArrival() {
    const QByteArray arrival = m_socket.readAll();
    qCDebug(lcMeters).noquote() << "from meter server" << arrival.size() << "bytes";
    m_receiver.receive(arrival);
}

void frmMeterWinsock::timConnectionChecker_Timer() {
    CheckConnection(0, 0);
}

} // namespace corvane
