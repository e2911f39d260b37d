#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace corvane::demo {

// The meter points of the demo Core: it reports an address for every point the client asks
// about, gives every channel strip an on/off button and two programme buses, and keeps the
// channel states and fader gains that the operator changes, answering as a Core would.
class DemoMeterPoints {
public:
    // The frames the Core answers a client's frame with; none for frames of other kinds.
    QStringList answer(int command, const QString& addressBlock, const QString& payload);

private:
    struct Point {
        bool channelOn = true;
        bool bus[2] = {true, false};
        QString gain = QStringLiteral("-6");
    };

    QString addOns(const Point& point) const;
    QString gainRecord(qint32 router, qint32 io, bool isDest, const Point& point) const;

    QHash<QString, Point> m_points; // by address block
};

} // namespace corvane::demo
