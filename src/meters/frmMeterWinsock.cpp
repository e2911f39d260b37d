#include "meters/frmMeterWinsock.h"

#include "meters/MeterServerLines.h"
#include "support/AppGlobals.h"
#include "support/LogCategories.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>

namespace corvane {

frmMeterWinsock::frmMeterWinsock(FrameSender& core, MeterRoutes& routes,
                                 MeterSubscriptions::TagSource tags, AddressLookup& addresses,
                                 QObject* parent)
    : QObject(parent),
      m_subscriptions(*this, core, addresses, std::move(tags), &frmMeterWinsock::monotonicMs),
      m_receiver(routes, m_subscriptions.collOpenMeters(), &frmMeterWinsock::monotonicMs) {
    setObjectName(QStringLiteral("frmMeterWinsock"));
    m_timConnectionChecker.setInterval(kCheckIntervalMs);
    connect(&m_timConnectionChecker, &QTimer::timeout, this,
            &frmMeterWinsock::timConnectionChecker_Timer);
    connect(&m_socket, &QTcpSocket::connected, this, &frmMeterWinsock::MeterWinsock_Connect);
    connect(&m_socket, &QTcpSocket::readyRead, this, &frmMeterWinsock::MeterWinsock_DataArrival);
    // Errors and remote closes need no handling here, the connection checker repairs them.
    // They are only told, so that a maintainer sees why levels stopped: once until the next
    // connection, not at every retry of a server that stays away.
    connect(&m_socket, &QAbstractSocket::errorOccurred, this, [this] {
        const QString error = m_socket.errorString();
        if (error != m_errorTold) {
            m_errorTold = error;
            qCInfo(lcMeters).noquote() << "meter server" << target() << error;
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
    if (m_closing) {
        // Called from inside a close wait: that wait connects when the socket has closed.
        m_connectAfterClose = true;
        return;
    }
    QPointer<frmMeterWinsock> self(this);
    const bool closed = closeAndWait();
    if (!self) {
        return;
    }
    if (!closed) {
        setIsRunning(false);
        return;
    }
    // A stop asked for while the old connection was closing wins.
    if (m_IsRunning) {
        connectNow();
    }
}

void frmMeterWinsock::MeteringStop(bool NoReset) {
    if (!NoReset) {
        setIsRunning(false);
    }
    if (m_closing) {
        m_connectAfterClose = false;
        return;
    }
    QPointer<frmMeterWinsock> self(this);
    const bool closed = closeAndWait();
    if (!self) {
        return;
    }
    if (!closed) {
        setIsRunning(false);
    } else if (m_connectAfterClose && m_IsRunning) {
        connectNow(); // a start asked for while this stop was waiting
    }
    m_connectAfterClose = false;
}

void frmMeterWinsock::CheckConnection(qint32 router, qint32 io) {
    if (!m_IsRunning) {
        return;
    }
    if (!isConnected()) {
        const bool targeted = router > 0 && io > 0;
        const QAbstractSocket::SocketState state = m_socket.state();
        if (targeted && (state == QAbstractSocket::HostLookupState ||
                         state == QAbstractSocket::ConnectingState)) {
            // An address reply while a connection is being made leaves it to finish; its
            // connect event subscribes every point. Restarted for each reply of a burst, it
            // would reconnect once per reply and subscribe the whole panel every time.
            return;
        }
        QPointer<frmMeterWinsock> self(this);
        MeteringStop(true);
        if (!self) {
            return;
        }
        MeteringStart(m_strMeterHost, m_intMeterPort);
        if (!self) {
            return;
        }
    }
    m_subscriptions.RefreshOpenMeters(router, io);
}

bool frmMeterWinsock::closeAndWait() {
    if (m_socket.state() == QAbstractSocket::UnconnectedState) {
        return true;
    }
    m_closing = true;
    // Lines still queued (unsubscriptions at shut-down) are written before the socket closes.
    m_socket.disconnectFromHost();
    if (m_socket.state() != QAbstractSocket::UnconnectedState) {
        // The rest of the program keeps running meanwhile: it may start or stop metering
        // again, which is done once this wait is over.
        QPointer<frmMeterWinsock> self(this);
        QEventLoop loop;
        QTimer limit;
        limit.setSingleShot(true);
        connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        connect(&m_socket, &QAbstractSocket::stateChanged, &loop,
                [&loop](QAbstractSocket::SocketState state) {
                    if (state == QAbstractSocket::UnconnectedState) {
                        loop.quit();
                    }
                });
        limit.start(m_closeWaitLimitMs);
        loop.exec();
        if (!self) {
            return false;
        }
    }
    m_closing = false;
    if (m_socket.state() != QAbstractSocket::UnconnectedState) {
        m_socket.abort(); // given up; nothing of this connection is used again
        return false;
    }
    return true;
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
    sendLine(PollLine(appGlobals().intMeterPollValue));
    ResubscribeAllOpen();
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
