#pragma once

#include <QHashFunctions>
#include <QString>
#include <QStringView>

#include <optional>

namespace corvane::demo {

// One meter point of the demo studio: router, I/O number, and whether it is a destination.
// Points travel as 16-bit numbers, so both numbers lie in 1..65535 for a usable point.
struct DemoPoint {
    qint32 router = 0;
    qint32 io = 0;
    bool isDest = false;

    bool isValid() const { return router >= 1 && router <= 0xFFFF && io >= 1 && io <= 0xFFFF; }
    // The client's meter key: "5_12_True" for router 5, destination 12.
    QString key() const;
    bool operator==(const DemoPoint&) const = default;
};

size_t qHash(const DemoPoint& point, size_t seed = 0) noexcept;

// The point a frame's address block names: a source when the source field is 1 or more,
// otherwise a destination when the destination field is; nothing for any other block.
std::optional<DemoPoint> PointOfAddressBlock(QStringView addressBlock);

// The I/O address by which the studio knows a point: the audio node's host and its channel,
// "host/channel", so that a channel strip can name its device ("rtr2-in.studio.lan/11").
QString IoAddressOf(const DemoPoint& point);
// The point behind a host and channel of such an address; nothing for anything else.
std::optional<DemoPoint> PointOfIoAddress(QStringView host, QStringView channel);

// How a channel starts before anyone has touched it. Both demo servers apply the same rules,
// so the meter server shows a channel that starts switched off as silent without asking.
bool ChannelStartsOn(const DemoPoint& point);
double ChannelStartGainDb(const DemoPoint& point);

// What a point carries: a source whose number is a multiple of three is a playout channel
// (music); other sources are microphones (speech); destinations carry the programme mix.
enum class Programme { Speech, Music };
Programme ProgrammeOf(const DemoPoint& point);

} // namespace corvane::demo
