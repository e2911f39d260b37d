#include "ChannelHints.h"

#include "protocol/ClientProtocolConsts.h"
#include "support/NumberRules.h"

#include <cmath>

namespace corvane::demo {

namespace {

using Consts = modClientProtocolConsts;

// Gains at or below this mean that the Core knows none.
constexpr double kNoGain = -1001.0;

} // namespace

ChannelHints::Hint ChannelHints::hint(const DemoPoint& point) const {
    const auto found = m_hints.constFind(point);
    return found != m_hints.cend() ? found.value()
                                   : Hint{ChannelStartsOn(point), ChannelStartGainDb(point)};
}

void ChannelHints::store(const DemoPoint& point, const Hint& hint) {
    if (m_hints.size() < kMaxChannels || m_hints.contains(point)) {
        m_hints.insert(point, hint);
    }
}

bool ChannelHints::isOn(const DemoPoint& point) const {
    return hint(point).on;
}

double ChannelHints::gainDb(const DemoPoint& point) const {
    return hint(point).gainDb;
}

void ChannelHints::setOn(const DemoPoint& point, bool on) {
    Hint h = hint(point);
    h.on = on;
    store(point, h);
}

void ChannelHints::setGainDb(const DemoPoint& point, double gainDb) {
    Hint h = hint(point);
    h.gainDb = gainDb;
    store(point, h);
}

void ChannelHints::applyCoreFrame(const QString& piece) {
    if (!piece.startsWith(Consts::strFrameStart) || piece.size() < kFrameHeaderLength) {
        return;
    }
    const int command = piece[2].unicode();
    const QString payload = piece.mid(kFrameHeaderLength);
    if (command == Command::MeterAddOns) {
        if (const auto point = PointOfAddressBlock(QStringView(piece).sliced(3, 12))) {
            setOn(*point, payload.startsWith(QLatin1Char('T')));
        }
    } else if (command == Command::LevelData) {
        applyLevelRecords(payload);
    }
}

void ChannelHints::applyLevelRecords(const QString& payload) {
    for (const QString& record : payload.split(Consts::strRecordSeparator)) {
        const QStringList fields = record.split(Consts::strFieldSeparator);
        if (fields.size() != 4) {
            continue;
        }
        const auto router = ParseHexDigits(fields[0]);
        bool ioOk = false;
        const int io = fields[1].toInt(&ioOk);
        const QStringList values = fields[3].split(QLatin1Char(':'));
        if (!router || !ioOk || values.size() < 5) {
            continue;
        }
        bool gainOk = false;
        const double gain = values[4].toDouble(&gainOk);
        DemoPoint point{qint32(*router), io, fields[2] == QLatin1String("True")};
        if (point.isValid() && gainOk && std::isfinite(gain) && gain > kNoGain) {
            setGainDb(point, gain);
        }
    }
}

} // namespace corvane::demo
