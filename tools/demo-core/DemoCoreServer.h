#pragma once

#include "PanelCatalog.h"
#include "StudioCore.h"
#include "StudioJournal.h"
#include "StudioState.h"
#include "protocol/ReceiveBuffer.h"

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QStringDecoder>
#include <QTcpServer>
#include <QTimer>

#include <functional>
#include <memory>

class QTcpSocket;

namespace corvane::demo {

// The demo Core on the network: accepts clients, cuts their text into frames for the studio
// and writes the studio's answers back. With tracing on, every frame in and out is reported,
// one line each.
class DemoCoreServer : public QObject, private StudioOutput {
    Q_OBJECT
public:
    using LineSink = std::function<void(const QString&)>;

    static constexpr int kMaxConnections = 64;
    // A client's unfinished frame may grow to this many characters before it is dropped.
    static constexpr qsizetype kMaxFrameCharacters = 1024 * 1024;
    // A client that leaves this much unread is dropped rather than buffered for.
    static constexpr qint64 kMaxUnreadBytes = 64 * 1024 * 1024;

    DemoCoreServer(const QDir& panelFolder, StudioCore::Credentials credentials,
                   QObject* parent = nullptr);
    ~DemoCoreServer() override;

    bool listen(const QHostAddress& address, quint16 port);
    QHostAddress serverAddress() const { return m_server.serverAddress(); }
    quint16 serverPort() const { return m_server.serverPort(); }
    QString errorString() const { return m_server.errorString(); }

    // Log lines (connections, logins, commands) and trace lines; both may be left unset.
    void setLog(LineSink log) { m_log = std::move(log); }
    void setTrace(LineSink trace) { m_trace = std::move(trace); }

    int connectionCount() const { return int(m_connections.size()); }

    // Keeps the studio busy: this many changes a second (see StudioCore::churn), 0 for none.
    void setChurn(double changesPerSecond);
    // A sudden rush: this many changes more, spread over the next second.
    void burst(int changes);

    // Shares the studio with other Cores through a file (see StudioJournal): what is in it is
    // taken over now, and what the others add later as they add it. False when the file
    // cannot be opened.
    bool shareStudio(const QString& path);
    QString shareError() const;

    // Readback on (see StudioCore::setReadback).
    void setReadback(bool on) { m_studio.setReadback(on); }
    // Serves every client its panel again.
    void redeliver() { m_studio.redeliver(); }
    // Stops every change the studio makes of its own accord, waits a moment for changes that
    // other Cores made meanwhile, then checks what every client shows (StudioCore::check).
    void check();

    // Sends no faster than this many bytes a second to each client, as over a slow link, so
    // that a large panel is some time on its way; 0 for as fast as the socket takes them.
    void setPace(qint64 bytesPerSecond);
    const StudioCore& studio() const { return m_studio; }
    // Frames received from and sent to all clients so far.
    qint64 framesReceived() const { return m_framesReceived; }
    qint64 framesSent() const { return m_framesSent; }

private:
    struct Connection {
        QTcpSocket* socket = nullptr;
        QStringDecoder decoder{QStringDecoder::Utf8};
        ReceiveBuffer buffer{kMaxFrameCharacters};
        QByteArray paced;           // waiting for its turn, when sending is paced
        bool closeWhenSent = false; // a graceful close waits for it
    };

    void onNewConnection();
    void onReadyRead(int id);
    void onDisconnected(int id);
    void onChurnTick();
    void onPaceTick();
    void onShareTick();

    void endLater(int id, bool abort);
    void send(int connection, const QString& frame) override;
    void close(int connection) override;
    void note(const QString& text) override;

    PanelCatalog m_catalog;
    StudioState m_state;
    StudioCore m_studio;
    QTcpServer m_server;
    QHash<int, std::shared_ptr<Connection>> m_connections;
    int m_nextId = 1;
    LineSink m_log;
    LineSink m_trace;
    QTimer m_churnTimer;
    QElapsedTimer m_churnClock;
    double m_churnPerSecond = 0;
    qint64 m_churnDone = 0; // changes made since the clock started
    QElapsedTimer m_burstClock;
    qint64 m_burstTotal = 0;
    qint64 m_burstDone = 0;
    QTimer m_paceTimer;
    qint64 m_paceBytesPerSecond = 0;
    std::unique_ptr<StudioJournal> m_journal;
    QTimer m_shareTimer;
    qint64 m_framesReceived = 0;
    qint64 m_framesSent = 0;
};

} // namespace corvane::demo
