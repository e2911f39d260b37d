#include "meters/MeterSubscriptions.h"

#include "meters/MeterServerLines.h"
#include "protocol/ClientProtocolConsts.h"
#include "protocol/FrameBuilder.h"
#include "protocol/FrameSender.h"
#include "support/AddressLookup.h"
#include "support/NumberRules.h"

#include <QSet>

#include <exception>
#include <optional>

namespace corvane {

namespace {

// An open meter tag: router in hexadecimal, "::", I/O in decimal, "::", "True" for a
// destination. Nothing for a tag whose numbers do not read (a router written as "Error").
std::optional<MeterPointId> pointOfTag(const QString& tag) {
    const QStringList parts = tag.split(QStringLiteral("::"));
    if (parts.size() < 3) {
        return std::nullopt;
    }
    const auto router = ReadsAsNumber(QStringLiteral("&H") + parts[0].trimmed());
    const auto io = ReadsAsNumber(parts[1]);
    if (!router || !io) {
        return std::nullopt;
    }
    try {
        return MeterPointId{ToInt16(*router), ToInt16(*io), parts[2] == QLatin1String("True")};
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

} // namespace

MeterSubscriptions::MeterSubscriptions(MeterLink& link, FrameSender& core, AddressLookup& addresses,
                                       TagSource tags, Clock clock, qint64 quietLimitMs)
    : m_link(link), m_core(core), m_addresses(addresses), m_tags(std::move(tags)),
      m_clock(std::move(clock)), m_quietLimitMs(quietLimitMs) {}

QString MeterSubscriptions::GetOrRequestAddress(qint32 router, qint32 io, bool isDest) {
    const QString address = m_addresses.GetAddress(router, io, isDest);
    if (address.isEmpty()) {
        m_core.SendCvpCommand(
            BuildFrame(Command::IoAddress, PointAddressBlock(router, io, !isDest)));
    }
    return address;
}

QByteArray MeterSubscriptions::GetMtrLvlSubscriptionCommand(qint32 router, qint32 io, bool isDest,
                                                            bool unsubscribe) {
    const QString address = GetOrRequestAddress(router, io, isDest);
    if (address.isEmpty()) {
        return {};
    }
    return SubscriptionLine(unsubscribe, router, io, isDest, address);
}

void MeterSubscriptions::SubscribeToMeter(qint32 intRouter, qint32 intIO, bool boolIsDest) {
    // The meter server numbers its points in 16 bits; a point beyond that cannot be metered.
    if (!m_link.isConnected() || !FitsLevelLines(intRouter) || !FitsLevelLines(intIO)) {
        return;
    }
    const QByteArray line = GetMtrLvlSubscriptionCommand(intRouter, intIO, boolIsDest, false);
    if (!line.isEmpty()) {
        m_link.sendLine(line);
    }
    clsOpenMeter meter;
    meter.intRouter = qint16(intRouter);
    meter.intIO = qint16(intIO);
    meter.boolIsDest = boolIsDest;
    meter.lngLastHeardFrom = m_clock();
    meter.strSubscribeCommand = line;
    m_openMeters.add(meter); // an open point keeps its entry as it was
}

void MeterSubscriptions::UnsubscribeFromMeter(qint32 intRouter, qint32 intIO, bool boolIsDest) {
    if (!m_link.isConnected() || !FitsLevelLines(intRouter) || !FitsLevelLines(intIO)) {
        return;
    }
    const QByteArray line = GetMtrLvlSubscriptionCommand(intRouter, intIO, boolIsDest, true);
    if (!line.isEmpty()) {
        m_link.sendLine(line);
    }
    m_openMeters.remove(MeterPointId{intRouter, intIO, boolIsDest});
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
        meter.strSubscribeCommand =
            GetMtrLvlSubscriptionCommand(meter.intRouter, meter.intIO, meter.boolIsDest, false);
    }
    if (!meter.strSubscribeCommand.isEmpty()) {
        m_link.sendLine(meter.strSubscribeCommand);
    }
}

void MeterSubscriptions::ResubscribeAllOpen() {
    const QStringList tags = m_tags ? m_tags() : QStringList();
    // Several controls may show one point; the meter server hears of each point once.
    QSet<MeterPointId> done;
    for (const QString& tag : tags) {
        const auto point = pointOfTag(tag);
        if (!point || done.contains(*point)) {
            continue;
        }
        done.insert(*point);
        SubscribeToMeter(point->router, point->io, point->isDest);
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
