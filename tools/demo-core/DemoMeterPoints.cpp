#include "DemoMeterPoints.h"

#include "protocol/ClientProtocolConsts.h"
#include "protocol/FrameBuilder.h"

namespace corvane::demo {

namespace {

qint32 field(const QString& addressBlock, int index) {
    return addressBlock.mid(index * 4, 4).toInt(nullptr, 16);
}

} // namespace

QStringList DemoMeterPoints::answer(int command, const QString& addressBlock,
                                    const QString& payload) {
    const qint32 router = field(addressBlock, 0);
    const qint32 source = field(addressBlock, 1);
    const qint32 dest = field(addressBlock, 2);
    const bool isDest = source < 1;
    const qint32 io = isDest ? dest : source;
    if (io < 1) {
        return {};
    }
    Point& point = m_points[addressBlock];
    switch (command) {
    case Command::IoAddress:
        return {BuildFrame(Command::IoAddress, addressBlock,
                           QStringLiteral("demo-mixer/%1").arg(io))};
    case Command::MeterSubscription:
        return {BuildFrame(Command::MeterSubscription, addressBlock,
                           QStringLiteral("gainmin=-800,gainmax=100,hasonoff=true,pgm1=true,"
                                          "pgm2=true")),
                BuildFrame(Command::MeterAddOns, addressBlock, addOns(point)),
                BuildFrame(Command::LevelData, modClientProtocolConsts::strNoAddress,
                           gainRecord(router, io, isDest, point))};
    case Command::LevelData: // the operator moved the fader
        point.gain = payload;
        return {BuildFrame(Command::LevelData, modClientProtocolConsts::strNoAddress,
                           gainRecord(router, io, isDest, point))};
    case Command::ChannelRequest:
        if (payload.startsWith(QLatin1String("ChannelOn="))) {
            point.channelOn = payload.endsWith(QLatin1String("True"));
        } else if (payload.startsWith(QLatin1String("PGM1On="))) {
            point.bus[0] = payload.endsWith(QLatin1String("True"));
        } else if (payload.startsWith(QLatin1String("PGM2On="))) {
            point.bus[1] = payload.endsWith(QLatin1String("True"));
        }
        return {BuildFrame(Command::MeterAddOns, addressBlock, addOns(point))};
    default:
        return {};
    }
}

QString DemoMeterPoints::addOns(const Point& point) const {
    auto state = [](bool on) { return on ? QLatin1Char('T') : QLatin1Char('F'); };
    return QString(state(point.channelOn)) + state(point.bus[0]) + state(point.bus[1]) +
           QStringLiteral("FF");
}

QString DemoMeterPoints::gainRecord(qint32 router, qint32 io, bool isDest,
                                    const Point& point) const {
    const QString& separator = modClientProtocolConsts::strFieldSeparator;
    return QString::number(router, 16) + separator + QString::number(io) + separator +
           (isDest ? QStringLiteral("True") : QStringLiteral("False")) + separator +
           QStringLiteral("0:0:0:0:") + point.gain;
}

} // namespace corvane::demo
