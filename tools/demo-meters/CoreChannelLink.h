#pragma once

#include "ChannelHints.h"
#include "common/DemoPoints.h"
#include "connection/CoreConnector.h"
#include "protocol/ReceiveBuffer.h"

#include <QObject>
#include <QSet>

namespace corvane::demo {

// Keeps the meter server told of the studio's channels: logs in at a Core as a client would,
// subscribes every point that some meter client listens to, and feeds the Core's add-on and
// gain messages into the channel hints. Reconnects on its own after a loss.
class CoreChannelLink : public QObject {
    Q_OBJECT
public:
    CoreChannelLink(ChannelHints& hints, const QString& core, const QString& user,
                    const QString& password, QObject* parent = nullptr);
    ~CoreChannelLink() override;

    void watch(const DemoPoint& point);
    void unwatch(const DemoPoint& point);
    bool isConnected() const { return m_connector.isConnected(); }

signals:
    void connectedChanged(bool connected);

private:
    void onConnectedChanged(bool connected);
    void onMessage(const QString& text);
    void sendForPoint(int command, const DemoPoint& point);

    ChannelHints& m_hints;
    CoreConnector m_connector;
    ReceiveBuffer m_buffer{16 * 1024 * 1024};
    QSet<DemoPoint> m_watched;
};

} // namespace corvane::demo
