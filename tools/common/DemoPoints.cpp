#include "DemoPoints.h"

#include "support/MeterKey.h"
#include "support/NumberRules.h"

namespace corvane::demo {

namespace {

const QLatin1String kHostPrefix("rtr");
const QLatin1String kSourceSuffix("-in.studio.lan");
const QLatin1String kDestinationSuffix("-out.studio.lan");

// A decimal number of 1..65535 written plainly (no sign, no leading zero).
std::optional<qint32> plainNumber(QStringView text) {
    if (text.isEmpty() || text.size() > 5 || text.front() == QLatin1Char('0')) {
        return std::nullopt;
    }
    qint32 value = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return std::nullopt;
        }
        value = value * 10 + (c.unicode() - '0');
    }
    return value <= 0xFFFF ? std::optional<qint32>(value) : std::nullopt;
}

std::optional<qint32> hexField(QStringView field) {
    if (field.size() != 4) {
        return std::nullopt;
    }
    const auto value = ParseHexDigits(field);
    return value ? std::optional<qint32>(qint32(*value)) : std::nullopt;
}

} // namespace

QString DemoPoint::key() const {
    return MeterKey(router, io, isDest);
}

size_t qHash(const DemoPoint& point, size_t seed) noexcept {
    return qHashMulti(seed, point.router, point.io, point.isDest);
}

std::optional<DemoPoint> PointOfAddressBlock(QStringView addressBlock) {
    if (addressBlock.size() != 12) {
        return std::nullopt;
    }
    const auto router = hexField(addressBlock.sliced(0, 4));
    const auto source = hexField(addressBlock.sliced(4, 4));
    const auto destination = hexField(addressBlock.sliced(8, 4));
    if (!router || !source || !destination) {
        return std::nullopt;
    }
    DemoPoint point;
    point.router = *router;
    if (*source >= 1) {
        point.io = *source;
    } else if (*destination >= 1) {
        point.io = *destination;
        point.isDest = true;
    }
    return point.isValid() ? std::optional<DemoPoint>(point) : std::nullopt;
}

QString IoAddressOf(const DemoPoint& point) {
    return kHostPrefix + QString::number(point.router) +
           (point.isDest ? kDestinationSuffix : kSourceSuffix) + QLatin1Char('/') +
           QString::number(point.io);
}

std::optional<DemoPoint> PointOfIoAddress(QStringView host, QStringView channel) {
    host = host.trimmed();
    if (!host.startsWith(kHostPrefix, Qt::CaseInsensitive)) {
        return std::nullopt;
    }
    host = host.sliced(kHostPrefix.size());
    DemoPoint point;
    if (host.endsWith(kDestinationSuffix, Qt::CaseInsensitive)) {
        point.isDest = true;
        host.chop(kDestinationSuffix.size());
    } else if (host.endsWith(kSourceSuffix, Qt::CaseInsensitive)) {
        host.chop(kSourceSuffix.size());
    } else {
        return std::nullopt;
    }
    const auto router = plainNumber(host);
    const auto io = plainNumber(channel.trimmed());
    if (!router || !io) {
        return std::nullopt;
    }
    point.router = *router;
    point.io = *io;
    return point;
}

bool ChannelStartsOn(const DemoPoint& point) {
    // Every eighth source starts switched off, so that a fresh studio shows a silent channel.
    return point.isDest || point.io % 8 != 0;
}

double ChannelStartGainDb(const DemoPoint& point) {
    return point.isDest ? 0.0 : -2.0 * (point.io % 4);
}

Programme ProgrammeOf(const DemoPoint& point) {
    return point.isDest || point.io % 3 == 0 ? Programme::Music : Programme::Speech;
}

} // namespace corvane::demo
