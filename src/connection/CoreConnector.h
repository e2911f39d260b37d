#pragma once

#include "connection/CoreConnectorTimings.h"
#include "connection/LoginReplyReader.h"

#include <QObject>
#include <QString>
#include <QStringConverter>
#include <QStringList>
#include <QTimer>

class QTcpSocket;

namespace corvane {

// Keeps the connection to a Core: hunts through a list of servers, logs in, and carries the
// client protocol's text both ways as UTF-8. Everything runs on the thread that owns it and
// never blocks; every stage of an attempt is bounded by a timeout, so a server that refuses
// or never answers only costs its timeout before the next one is tried.
//
// Signals may be raised from inside the calls below (never from inside a constructor); the
// connector tolerates being called again from its own signal handlers.
class CoreConnector : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kDefaultCorePort = 5200;
    // A peer can make us buffer at most this much while we wait for its login reply.
    static constexpr qsizetype kMaxLoginReplyBytes = LoginReplyReader::kDefaultMaxBytes;

    explicit CoreConnector(const CoreConnectorTimings& timings = {}, QObject* parent = nullptr);
    ~CoreConnector() override;

    // The port used for hunt entries that do not name one.
    quint16 corePort() const { return m_corePort; }
    void setCorePort(quint16 port);

    bool isConnected() const { return m_state == State::Connected; }
    bool isHunting() const { return m_hunting; }
    QStringList huntList() const { return m_huntList; }

    // Appends "host", "host:port" or "[v6-address]:port" to the hunt list.
    void AddServerToHunt(const QString& host);
    // Walks the hunt list in order until a Core accepts; after a loss it starts again.
    // While connected or in the middle of an attempt, only the credentials are taken over.
    // Credentials that cannot travel in a login frame are refused with a DebugMessage and a
    // warning in the log, and nothing changes (see LoginCredentialsProblem); StartConnect too.
    void StartHunting(const QString& userName, const QString& password);
    // Stops attempts in progress and planned; a live connection stays.
    void StopHunting();
    // Closes the connection (ConnectedChanged(false) when it was up) or the attempt in
    // progress. It does not end a hunt: while hunting, the list is tried again after the
    // reconnect delay; call StopHunting first to stay disconnected.
    void Disconnect();
    // Stops hunting and disconnects; the connector raises nothing afterwards and ignores
    // further calls.
    void ShutDown();
    // Writes the text as UTF-8; while not connected the text is dropped.
    void SendCvpMessageToCore(const QString& message);
    // One attempt at one host, outside the hunt (which it stops).
    void StartConnect(const QString& host, const QString& userName, const QString& password);

signals:
    void HuntSwitched(const QString& ipAddress, const QString& name);
    void ConnectedChanged(bool connected);
    void MessageToClient(const QString& message);
    void DebugMessage(const QString& message);

private:
    enum class State { Idle, Waiting, Connecting, LoggingIn, Connected };

    void scheduleAttempt(int delayMs);
    void onTimer();
    void startNextHuntEntry();
    void beginAttempt(const QString& entry);
    void onSocketConnected();
    void onReadyRead();
    void onSocketGone(const QString& reason);
    void handleLoginBytes(const QByteArray& bytes);
    void deliver(const QByteArray& bytes);
    void failAttempt(const QString& reason);
    void handleLoss(const QString& reason);
    void cancelAttempt();
    void closeSocket(bool graceful);
    bool credentialsFit(const QString& userName, const QString& password);

    quint16 m_corePort = kDefaultCorePort;
    const CoreConnectorTimings m_timings;
    QStringList m_huntList;
    qsizetype m_huntIndex = 0; // next entry of the hunt list to try
    bool m_hunting = false;
    bool m_direct = false; // the attempt (planned or running) comes from StartConnect
    QString m_directHost;
    QString m_userName;
    QString m_password;
    QString m_target; // what the current attempt is aimed at, for diagnostics
    State m_state = State::Idle;
    bool m_shutDown = false;
    quint64 m_generation = 0;  // changes whenever the current socket or attempt goes away
    bool m_delivering = false; // handing the Core's text to the client: writes wait for its end
    QTcpSocket* m_socket = nullptr;
    QTimer m_timer; // the one pending step: next attempt, connect timeout or login timeout
    LoginReplyReader m_login;
    QStringDecoder m_decoder{QStringDecoder::Utf8};
};

} // namespace corvane
