#pragma once

#include "common/DemoPoints.h"

#include <QHash>
#include <QString>

namespace corvane::demo {

// What the meter server knows of a channel's switch and fader, so that a channel that is off
// reads silent and a faded one reads lower. Without word from a Core, channels stand as the
// studio starts them.
class ChannelHints {
public:
    static constexpr qsizetype kMaxChannels = 65536;

    bool isOn(const DemoPoint& point) const;
    double gainDb(const DemoPoint& point) const;
    void setOn(const DemoPoint& point, bool on);
    void setGainDb(const DemoPoint& point, double gainDb);

    // Learns from one frame a Core sent (a piece cut at a frame end): add-on states (20) give
    // the channel switch, level data (22) the fader gains. Anything else is ignored.
    void applyCoreFrame(const QString& piece);

private:
    struct Hint {
        bool on;
        double gainDb;
    };
    Hint hint(const DemoPoint& point) const;
    void store(const DemoPoint& point, const Hint& hint);
    void applyLevelRecords(const QString& payload);

    QHash<DemoPoint, Hint> m_hints;
};

} // namespace corvane::demo
