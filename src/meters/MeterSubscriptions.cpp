#include "meters/MeterSubscriptions.h"

#include "meters/MeterServerLines.h"
#include "protocol/ClientProtocolConsts.h"
#include "protocol/FrameBuilder.h"
#include "protocol/FrameSender.h"
#include "support/AddressLookup.h"

#include <QSet>

#include <exception>

namespace corvane {

MeterSubscriptions::MeterSubscriptions(MeterLink& link, FrameSender& core, AddressLookup& addresses,
                                       PointSource points, Clock clock, qint64 quietLimitMs)
    : m_link(link), m_core(core), m_addresses(addresses), m_points(std::move(points)),
      m_clock(std::move(clock)), m_quietLimitMs(quietLimitMs) {}

QString MeterSubscriptions::GetOrRequestAddress(const MeterPoint& point) {
    const QString address = m_addresses.GetAddress(point.router, point.io, point.isDestination);
    if (address.isEmpty()) {
        m_core.SendCvpCommand(BuildFrame(
            Command::IoAddress, PointAddressBlock(point.router, point.io, !point.isDestination)));
    }
    return address;
}

QByteArray MeterSubscriptions::GetMtrLvlSubscriptionCommand(const MeterPoint& point,
                                                            bool unsubscribe) {
    const QString address = GetOrRequestAddress(point);
    if (address.isEmpty()) {
        return {};
    }
    return SubscriptionLine(unsubscribe, point, address);
}

void MeterSubscriptions::SubscribeToMeter(const MeterPoint& point) {
    // The meter server numbers its points in 16 bits; a point beyond that cannot be metered.
    if (!m_link.isConnected() || !FitsLevelLines(point.router) || !FitsLevelLines(point.io)) {
        return;
    }
    const QByteArray line = GetMtrLvlSubscriptionCommand(point, false);
    if (!line.isEmpty()) {
        m_link.sendLine(line);
    }
    clsOpenMeter meter;
    meter.intRouter = qint16(point.router);
    meter.intIO = qint16(point.io);
    meter.boolIsDest = point.isDestination;
    meter.lngLastHeardFrom = m_clock();
    meter.strSubscribeCommand = line;
    m_openMeters.add(meter); // an open point keeps its entry as it was
}

void MeterSubscriptions::UnsubscribeFromMeter(const MeterPoint& point) {
    if (!m_link.isConnected() || !FitsLevelLines(point.router) || !FitsLevelLines(point.io)) {
        return;
    }
    const QByteArray line = GetMtrLvlSubscriptionCommand(point, true);
    if (!line.isEmpty()) {
        m_link.sendLine(line);
    }
    m_openMeters.remove(point);
}

void MeterSubscriptions::CheckMeterSubscription(const QString& meterKey) {
    clsOpenMeter* meter = m_openMeters.find(meterKey);
    if (meter == nullptr || meter->intIO <= 0 || meter->intRouter <= 0 || !m_link.isConnected()) {
        return;
    }
    sendSubscription(*meter);
}

void MeterSubscriptions::sendSubscription(clsOpenMeter& meter) {
    if (meter.strSubscribeCommand.isEmpty()) {
        meter.strSubscribeCommand = GetMtrLvlSubscriptionCommand(meter.point(), false);
    }
    if (!meter.strSubscribeCommand.isEmpty()) {
        m_link.sendLine(meter.strSubscribeCommand);
    }
}

void MeterSubscriptions::ResubscribeAllOpen() {
    const std::vector<MeterPoint> points = m_points ? m_points() : std::vector<MeterPoint>();
    // Several controls may show one point; the meter server hears of each point once.
    QSet<MeterPoint> done;
    for (const MeterPoint& point : points) {
        if (point.router < 0 || done.contains(point)) {
            continue;
        }
        done.insert(point);
        SubscribeToMeter(point);
    }
}

void MeterSubscriptions::RefreshOpenMeters(qint32 router, qint32 io) {
    const bool targeted = router > 0 && io > 0;
    const qint64 nowMs = m_clock();
    for (auto& entry : m_openMeters) {
        clsOpenMeter& meter = entry.value;
        try {
            if (!targeted && nowMs - meter.lngLastHeardFrom <= m_quietLimitMs) {
                continue;
            }
            if (meter.intIO < 1 || meter.intRouter < 1 || !m_link.isConnected()) {
                continue;
            }
            if ((router > 0 && router != meter.intRouter) || (io > 0 && io != meter.intIO)) {
                continue;
            }
            sendSubscription(meter);
        } catch (const std::exception&) {
            // This entry only; the others are refreshed as usual.
        }
    }
}

} // namespace corvane
