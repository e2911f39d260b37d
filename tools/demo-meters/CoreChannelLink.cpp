#include "CoreChannelLink.h"

#include "protocol/ClientProtocolConsts.h"
#include "protocol/FrameBuilder.h"

namespace corvane::demo {

CoreChannelLink::CoreChannelLink(ChannelHints& hints, const QString& core, const QString& user,
                                 const QString& password, QObject* parent)
    : QObject(parent), m_hints(hints) {
    connect(&m_connector, &CoreConnector::ConnectedChanged, this,
            &CoreChannelLink::onConnectedChanged);
    connect(&m_connector, &CoreConnector::MessageToClient, this, &CoreChannelLink::onMessage);
    m_connector.AddServerToHunt(core);
    m_connector.StartHunting(user, password);
}

CoreChannelLink::~CoreChannelLink() {
    m_connector.ShutDown();
}

void CoreChannelLink::watch(const DemoPoint& point) {
    if (!m_watched.contains(point)) {
        m_watched.insert(point);
        sendForPoint(Command::MeterSubscription, point);
    }
}

void CoreChannelLink::unwatch(const DemoPoint& point) {
    if (m_watched.remove(point)) {
        sendForPoint(Command::MeterUnsubscription, point);
    }
}

void CoreChannelLink::onConnectedChanged(bool connected) {
    m_buffer.clear();
    if (connected) {
        for (const DemoPoint& point : std::as_const(m_watched)) {
            sendForPoint(Command::MeterSubscription, point);
        }
    }
    emit connectedChanged(connected);
}

void CoreChannelLink::onMessage(const QString& text) {
    for (const QString& piece : m_buffer.append(text)) {
        m_hints.applyCoreFrame(piece);
    }
}

void CoreChannelLink::sendForPoint(int command, const DemoPoint& point) {
    if (m_connector.isConnected()) {
        m_connector.SendCvpMessageToCore(
            BuildFrame(command, PointAddressBlock(point.router, point.io, !point.isDest)));
    }
}

} // namespace corvane::demo
