#pragma once

#include "meters/LevelReceiver.h"
#include "meters/MeterSubscriptions.h"
#include "runtime/RuntimeTimings.h"

#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

namespace corvane {

class AddressLookup;
class FrameSender;
class MeterRoutes;

// The client of the meter server: one TCP connection, one byte a character. It connects when
// metering is started, sends the poll line and the panel's subscriptions on every new
// connection, feeds the level lines it receives to the panel, and checks every 10 seconds that
// the connection is up and that no subscribed point has gone quiet.
class frmMeterWinsock : public QObject, private MeterLink {
    Q_OBJECT
public:
    // Lines queued for a meter server that has stopped reading; more are dropped. A whole
    // panel's subscriptions (45 characters a point) fit many times over.
    static constexpr qint64 kMaxPendingWriteBytes = 1024 * 1024;

    // The checker ticks every timings.meterCheckMs; a close waits at most
    // timings.meterCloseWaitLimitMs. clock gives the time base of the quiet rule.
    frmMeterWinsock(FrameSender& core, MeterRoutes& routes, MeterSubscriptions::PointSource points,
                    AddressLookup& addresses, const RuntimeTimings& timings = {},
                    MeterSubscriptions::Clock clock = &frmMeterWinsock::monotonicMs,
                    QObject* parent = nullptr);
    ~frmMeterWinsock() override;

    // Metering is wanted: the connection checker runs. Switching it off empties the receive
    // buffer.
    bool IsRunning() const { return m_IsRunning; }
    // Whether the meter server is connected now.
    bool isConnected() const override;
    void setIsRunning(bool running);

    // (Re)connects to the meter server. A connection that is being made is abandoned at once;
    // one that is up is closed first, and the new one is made when the close has completed.
    // A close that has not completed within the close-wait limit is aborted and metering is
    // switched off instead. Nothing here waits: the call returns at once.
    void MeteringStart(const QString& ipAddress, quint16 Port);
    // Closes the connection (or abandons one being made); unless NoReset, metering is switched
    // off as well.
    void MeteringStop(bool NoReset);
    // Reconnects when the connection is down, then refreshes quiet points (see
    // MeterSubscriptions::RefreshOpenMeters). Nothing while metering is off. A targeted check
    // (router and I/O above 0: an address reply) leaves a connection that is being made alone.
    void CheckConnection(qint32 router, qint32 io);

    void ResubscribeAllOpen() { m_subscriptions.ResubscribeAllOpen(); }
    void SubscribeToMeter(const MeterPoint& point) { m_subscriptions.SubscribeToMeter(point); }
    void UnsubscribeFromMeter(const MeterPoint& point) {
        m_subscriptions.UnsubscribeFromMeter(point);
    }
    void CheckMeterSubscription(const QString& meterKey) {
        m_subscriptions.CheckMeterSubscription(meterKey);
    }

    OpenMeterList& collOpenMeters() { return m_subscriptions.collOpenMeters(); }
    MeterSubscriptions& subscriptions() { return m_subscriptions; }
    LevelReceiver& receiver() { return m_receiver; }
    // Lines not sent because the server had left too much unread.
    qint64 linesDropped() const { return m_linesDropped; }
    const QString& strMeterHost() const { return m_strMeterHost; }
    quint16 intMeterPort() const { return m_intMeterPort; }

    // Milliseconds of a monotonic clock, the time base of the quiet rule.
    static qint64 monotonicMs();

signals:
    // The levels the panel shows are no longer measured: the connection was lost, a
    // connection attempt failed, or metering was switched off.
    void levelsLost();
    // The meter server is connected again: levels can come.
    void levelsBack();

private:
    void sendLine(const QByteArray& line) override;
    QString target() const; // "host:port" of the meter server, for the log

    void MeterWinsock_Connect();
    void MeterWinsock_DataArrival();
    void timConnectionChecker_Timer();

    // Starts closing the socket. True when it is closed now; otherwise the close completes
    // when Qt reports the socket unconnected, or is aborted when the close-wait limit runs out.
    bool beginClose();
    void MeterWinsock_StateChanged(QAbstractSocket::SocketState state);
    void closeWaitExpired();
    void connectNow();

    QTcpSocket m_socket{this};
    QTimer m_timConnectionChecker{this};
    QTimer m_closeWaitLimit{this};
    qint16 m_pollValue;
    MeterSubscriptions m_subscriptions;
    LevelReceiver m_receiver;
    bool m_IsRunning = false;
    QString m_strMeterHost;
    quint16 m_intMeterPort = 0;
    // A start asked for while the connection was closing: connect once it has closed.
    bool m_connectAfterClose = false;
    bool m_wasConnected = false;
    qint64 m_linesDropped = 0;
    QString m_errorTold;           // the last connection error logged, until a connection succeeds
    qint64 m_linesDroppedTold = 0; // the count when lines last went out: warn once per stall
};

} // namespace corvane
