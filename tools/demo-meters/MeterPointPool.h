#pragma once

#include "ChannelHints.h"
#include "LevelGenerator.h"
#include "common/DemoPoints.h"

#include <QList>

#include <functional>
#include <unordered_map>

namespace corvane::demo {

// The points some client listens to, each with its own level generator, shared by every
// client so that two clients see the same programme on a point. A point lives while at least
// one client listens to it.
class MeterPointPool {
public:
    static constexpr size_t kMaxPoints = 65536;
    // Called when a point gets its first listener (true) or loses its last (false).
    using WatchChanged = std::function<void(const DemoPoint&, bool watched)>;

    explicit MeterPointPool(const ChannelHints& hints) : m_hints(hints) {}

    void setWatchChanged(WatchChanged callback) { m_watchChanged = std::move(callback); }

    // One more listener; false (and nothing counted) when the pool is full.
    bool acquire(const DemoPoint& point);
    void release(const DemoPoint& point);

    // The point's levels now, after its channel's switch and fader. A point nobody listens
    // to reads silent.
    StereoLevels levels(const DemoPoint& point, qint64 nowMs);

    size_t size() const { return m_points.size(); }
    // Every point somebody listens to, in no particular order.
    QList<DemoPoint> points() const;
    int listeners(const DemoPoint& point) const;

private:
    struct PointHash {
        size_t operator()(const DemoPoint& point) const noexcept { return qHash(point); }
    };
    struct Entry {
        LevelGenerator generator;
        int listeners = 0;
    };

    const ChannelHints& m_hints;
    std::unordered_map<DemoPoint, Entry, PointHash> m_points;
    WatchChanged m_watchChanged;
};

} // namespace corvane::demo
