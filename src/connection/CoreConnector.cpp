#include "connection/CoreConnector.h"

#include "connection/CoreAddress.h"
#include "connection/LoginFrame.h"
#include "support/LogCategories.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace corvane {

namespace {
// A closing connection gets this long to hand over what is still queued for the Core.
constexpr int kCloseGraceMs = 2000;
// Bound on text queued for a Core that has stopped reading.
constexpr qint64 kMaxPendingWriteBytes = 8 * 1024 * 1024;
// What one turn of the event loop takes from the Core at most: a Core that sends faster than
// the client reads waits in the network's buffers, and no turn spends long on one arrival.
constexpr qint64 kReadChunkBytes = 1024 * 1024;
} // namespace

CoreConnector::CoreConnector(const CoreConnectorTimings& timings, QObject* parent)
    : QObject(parent), m_timings(timings) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CoreConnector::onTimer);
}

CoreConnector::~CoreConnector() {
    ShutDown();
}

void CoreConnector::setCorePort(quint16 port) {
    m_corePort = port > 0 ? port : kDefaultCorePort;
}

void CoreConnector::AddServerToHunt(const QString& host) {
    if (m_shutDown) {
        return;
    }
    m_huntList.append(host);
}

void CoreConnector::StartHunting(const QString& userName, const QString& password) {
    if (m_shutDown || !credentialsFit(userName, password)) {
        return;
    }
    m_userName = userName;
    m_password = password;
    m_hunting = true;
    m_direct = false; // a running direct attempt becomes part of the hunt
    if (m_state == State::Idle) {
        m_huntIndex = 0;
        scheduleAttempt(0);
    }
}

void CoreConnector::StopHunting() {
    if (m_shutDown) {
        return;
    }
    m_hunting = false;
    if (m_state != State::Connected) {
        cancelAttempt();
    }
}

void CoreConnector::Disconnect() {
    if (m_shutDown) {
        return;
    }
    const bool wasConnected = m_state == State::Connected;
    cancelAttempt();
    if (m_hunting) {
        m_huntIndex = 0;
        scheduleAttempt(m_timings.reconnectDelayMs);
    }
    if (wasConnected) {
        emit ConnectedChanged(false);
    }
}

void CoreConnector::ShutDown() {
    if (m_shutDown) {
        return;
    }
    m_shutDown = true;
    m_hunting = false;
    blockSignals(true);
    cancelAttempt();
}

void CoreConnector::SendCvpMessageToCore(const QString& message) {
    if (m_state != State::Connected || m_socket == nullptr) {
        emit DebugMessage(QStringLiteral("Not connected to a Core: message dropped"));
        return;
    }
    if (m_socket->bytesToWrite() > kMaxPendingWriteBytes) {
        emit DebugMessage(QStringLiteral("Core %1 is not reading: message dropped").arg(m_target));
        return;
    }
    const QByteArray bytes = message.toUtf8();
    qCDebug(lcConnection).noquote() << "to Core" << m_target << bytes.size() << "bytes";
    m_socket->write(bytes);
    // Out at once, not after whatever else the event loop has queued (a panel's repaint can
    // take a while): the Core acts on operator actions and load commands as they happen.
    // What the client writes while it handles the Core's text goes out together at its end.
    if (!m_delivering) {
        m_socket->flush();
    }
}

bool CoreConnector::credentialsFit(const QString& userName, const QString& password) {
    const QString problem = LoginCredentialsProblem(userName, password);
    if (problem.isEmpty()) {
        return true;
    }
    // A cut login would make the Core misread what follows; better no connection at all.
    const QString message = QStringLiteral("Login not sent: %1").arg(problem);
    qCWarning(lcConnection).noquote() << message;
    emit DebugMessage(message);
    return false;
}

void CoreConnector::StartConnect(const QString& host, const QString& userName,
                                 const QString& password) {
    if (m_shutDown || !credentialsFit(userName, password)) {
        return;
    }
    const bool wasConnected = m_state == State::Connected;
    m_hunting = false;
    cancelAttempt();
    m_userName = userName;
    m_password = password;
    m_direct = true;
    m_directHost = host;
    scheduleAttempt(0);
    if (wasConnected) {
        emit ConnectedChanged(false);
    }
}

void CoreConnector::scheduleAttempt(int delayMs) {
    m_state = State::Waiting;
    m_timer.start(qMax(0, delayMs));
}

void CoreConnector::onTimer() {
    switch (m_state) {
    case State::Waiting:
        if (m_direct) {
            beginAttempt(m_directHost);
        } else {
            startNextHuntEntry();
        }
        break;
    case State::Connecting:
        failAttempt(QStringLiteral("no connection within %1 ms").arg(m_timings.connectTimeoutMs));
        break;
    case State::LoggingIn:
        failAttempt(QStringLiteral("no login reply within %1 ms").arg(m_timings.loginTimeoutMs));
        break;
    case State::Idle:
    case State::Connected:
        break;
    }
}

void CoreConnector::startNextHuntEntry() {
    if (!m_hunting) {
        m_state = State::Idle;
        return;
    }
    if (m_huntList.isEmpty()) {
        // Servers may still be added; look again after the usual pause.
        scheduleAttempt(m_timings.listPauseMs);
        emit DebugMessage(QStringLiteral("No Core servers to hunt"));
        return;
    }
    if (m_huntIndex >= m_huntList.size()) {
        m_huntIndex = 0;
    }
    beginAttempt(m_huntList.at(m_huntIndex++));
}

void CoreConnector::beginAttempt(const QString& entry) {
    const auto address = CoreAddress::parse(entry, m_corePort);
    m_target = entry;
    if (!address) {
        failAttempt(QStringLiteral("not a usable Core address"));
        return;
    }
    // The state is set before the signal so that a handler calling back in sees an attempt.
    m_state = State::Connecting;
    const quint64 generation = ++m_generation;
    emit HuntSwitched(address->host, QString());
    if (generation != m_generation || m_state != State::Connecting) {
        return; // a handler stopped or redirected the hunt
    }

    auto* socket = new QTcpSocket(this);
    socket->setReadBufferSize(kReadChunkBytes);
    m_socket = socket;
    connect(socket, &QTcpSocket::connected, this, [this, socket] {
        if (socket == m_socket) {
            onSocketConnected();
        }
    });
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        if (socket == m_socket) {
            onReadyRead();
        }
    });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
        if (socket == m_socket) {
            onSocketGone(QStringLiteral("connection closed by the Core"));
        }
    });
    connect(socket, &QTcpSocket::errorOccurred, this, [this, socket] {
        if (socket == m_socket) {
            onSocketGone(socket->errorString());
        }
    });
    m_timer.start(m_timings.connectTimeoutMs);
    socket->connectToHost(address->host, address->port);
}

void CoreConnector::onSocketConnected() {
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    m_state = State::LoggingIn;
    m_login.reset();
    m_decoder.resetState();
    // The password stays out of the log.
    qCDebug(lcConnection).noquote() << "logging in to Core" << m_target << "as" << m_userName;
    m_socket->write(BuildLoginFrame(m_userName, m_password));
    m_timer.start(m_timings.loginTimeoutMs);
}

void CoreConnector::onReadyRead() {
    const QByteArray bytes = m_socket->readAll();
    if (m_state == State::LoggingIn) {
        handleLoginBytes(bytes);
    } else if (m_state == State::Connected) {
        deliver(bytes);
    }
}

void CoreConnector::handleLoginBytes(const QByteArray& bytes) {
    switch (m_login.feed(bytes)) {
    case LoginReplyReader::Result::Pending:
        return;
    case LoginReplyReader::Result::Refused:
        failAttempt(m_login.refusal());
        return;
    case LoginReplyReader::Result::Accepted:
        break;
    }
    m_timer.stop();
    m_state = State::Connected;
    m_direct = false;
    const QString rest = m_decoder.decode(m_login.takeRemainder());
    const quint64 generation = m_generation;
    emit ConnectedChanged(true);
    if (!rest.isEmpty() && generation == m_generation && m_state == State::Connected) {
        emit MessageToClient(rest);
    }
}

void CoreConnector::deliver(const QByteArray& bytes) {
    qCDebug(lcConnection).noquote() << "from Core" << m_target << bytes.size() << "bytes";
    const QString text = m_decoder.decode(bytes);
    if (text.isEmpty()) {
        return;
    }
    const quint64 generation = m_generation;
    m_delivering = true;
    emit MessageToClient(text);
    m_delivering = false;
    if (generation == m_generation && m_socket != nullptr) {
        m_socket->flush(); // the answers to this text, in one go
    }
}

void CoreConnector::onSocketGone(const QString& reason) {
    // The Core may have answered and closed in one go: read its reply before judging.
    if (m_state == State::LoggingIn && m_socket->bytesAvailable() > 0) {
        const quint64 generation = m_generation;
        handleLoginBytes(m_socket->readAll());
        if (generation != m_generation) {
            return; // refused, or a handler of the news closed the socket itself
        }
    }
    if (m_state == State::Connected) {
        handleLoss(reason); // accepted just now: the loss must still be reported
    } else if (m_state == State::Connecting || m_state == State::LoggingIn) {
        failAttempt(reason);
    }
}

void CoreConnector::failAttempt(const QString& reason) {
    closeSocket(false);
    if (m_hunting && !m_direct) {
        if (m_huntIndex >= m_huntList.size()) {
            m_huntIndex = 0;
            scheduleAttempt(m_timings.listPauseMs);
        } else {
            scheduleAttempt(0);
        }
    } else {
        m_direct = false;
        m_state = State::Idle;
    }
    emit DebugMessage(QStringLiteral("Core %1: %2").arg(m_target, reason));
}

void CoreConnector::handleLoss(const QString& reason) {
    const QString rest = m_decoder.decode(m_socket->readAll());
    closeSocket(false);
    m_state = State::Idle;
    if (m_hunting) {
        m_huntIndex = 0;
        scheduleAttempt(m_timings.reconnectDelayMs);
    }
    if (!rest.isEmpty()) {
        emit MessageToClient(rest);
    }
    emit DebugMessage(QStringLiteral("Core %1: connection lost: %2").arg(m_target, reason));
    emit ConnectedChanged(false);
}

void CoreConnector::cancelAttempt() {
    m_timer.stop();
    closeSocket(m_state == State::Connected);
    m_direct = false;
    m_state = State::Idle;
    ++m_generation;
}

void CoreConnector::closeSocket(bool graceful) {
    QTcpSocket* socket = std::exchange(m_socket, nullptr);
    if (socket == nullptr) {
        return;
    }
    ++m_generation;
    socket->disconnect(this);
    if (graceful && socket->state() == QAbstractSocket::ConnectedState) {
        // Let what was queued last (for example unsubscriptions at shut-down) reach the Core.
        socket->flush();
        connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
        socket->disconnectFromHost();
        if (socket->state() == QAbstractSocket::UnconnectedState) {
            socket->deleteLater();
        } else {
            QTimer::singleShot(kCloseGraceMs, socket, [socket] {
                socket->abort();
                socket->deleteLater();
            });
        }
        return;
    }
    socket->abort();
    socket->deleteLater();
}

} // namespace corvane
