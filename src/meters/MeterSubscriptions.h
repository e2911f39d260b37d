#pragma once

#include "meters/OpenMeterList.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

namespace corvane {

class AddressLookup;
class FrameSender;

// The meter connection as the subscriptions see it.
class MeterLink {
public:
    virtual ~MeterLink() = default;
    virtual bool isConnected() const = 0;
    virtual void sendLine(const QByteArray& line) = 0;
};

// The points subscribed at the meter server (collOpenMeters) and the lines that subscribe,
// unsubscribe and refresh them. A point is known to the meter server only by its I/O address;
// while the Core has not reported it, the address is asked for and the point waits with an
// empty subscribe line, which goes out when the address arrives or at a later refresh.
class MeterSubscriptions {
public:
    using PointSource = std::function<std::vector<MeterPoint>()>;
    using Clock = std::function<qint64()>;

    // points gives the points the panel's meters show; clock the time in milliseconds. A point
    // silent for longer than quietLimitMs is quiet.
    MeterSubscriptions(MeterLink& link, FrameSender& core, AddressLookup& addresses,
                       PointSource points, Clock clock, qint64 quietLimitMs);

    OpenMeterList& collOpenMeters() { return m_openMeters; }

    // The stored address of the point; empty after sending the Core a request for it
    // (command 46). No note is kept of requests: every call without an address asks again.
    QString GetOrRequestAddress(const MeterPoint& point);
    // The subscribe (or unsubscribe) line of the point; empty while its address is unknown.
    QByteArray GetMtrLvlSubscriptionCommand(const MeterPoint& point, bool unsubscribe);

    // While connected: sends the subscribe line (if the address is known) and records the
    // point; a point already open keeps its entry as it was. Disconnected: nothing.
    void SubscribeToMeter(const MeterPoint& point);
    // While connected: sends the unsubscribe line (if the address is known) and forgets the
    // point. Disconnected: nothing, the entry stays.
    void UnsubscribeFromMeter(const MeterPoint& point);
    // Sends the recorded subscription of one point, building its line if it waited for the
    // address. The point comes by its meter key, as the address table names it.
    void CheckMeterSubscription(const QString& meterKey);
    // Subscribes every point the panel shows, once per point. A point with a negative router
    // is left out: the panel's list of open meters writes a router in four hexadecimal digits,
    // and a negative one has none.
    void ResubscribeAllOpen();
    // Sends again the subscriptions of open points that have been quiet for longer than the
    // quiet limit, or, when both numbers are above 0, of that point whether quiet or not.
    // A router or I/O above 0 limits the refresh to entries with that number.
    void RefreshOpenMeters(qint32 router, qint32 io);

private:
    void sendSubscription(clsOpenMeter& meter);

    MeterLink& m_link;
    FrameSender& m_core;
    AddressLookup& m_addresses;
    PointSource m_points;
    Clock m_clock;
    OpenMeterList m_openMeters;
    qint64 m_quietLimitMs;
};

} // namespace corvane
