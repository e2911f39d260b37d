#pragma once

#include "meters/OpenMeterList.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

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
    using TagSource = std::function<QStringList()>;
    using Clock = std::function<qint64()>;

    // tags gives the open meter tags of the panel; clock the time in milliseconds. A point
    // silent for longer than quietLimitMs is quiet.
    MeterSubscriptions(MeterLink& link, FrameSender& core, AddressLookup& addresses, TagSource tags,
                       Clock clock, qint64 quietLimitMs);

    OpenMeterList& collOpenMeters() { return m_openMeters; }

    // The stored address of the point; empty after sending the Core a request for it
    // (command 46). No note is kept of requests: every call without an address asks again.
    QString GetOrRequestAddress(qint32 router, qint32 io, bool isDest);
    // The subscribe (or unsubscribe) line of the point; empty while its address is unknown.
    QByteArray GetMtrLvlSubscriptionCommand(qint32 router, qint32 io, bool isDest,
                                            bool unsubscribe);

    // While connected: sends the subscribe line (if the address is known) and records the
    // point; a point already open keeps its entry as it was. Disconnected: nothing.
    void SubscribeToMeter(qint32 intRouter, qint32 intIO, bool boolIsDest);
    // While connected: sends the unsubscribe line (if the address is known) and forgets the
    // point. Disconnected: nothing, the entry stays.
    void UnsubscribeFromMeter(qint32 intRouter, qint32 intIO, bool boolIsDest);
    // Sends the recorded subscription of one point, building its line if it waited for the
    // address.
    void CheckMeterSubscription(const QString& meterKey);
    // Subscribes every point the panel shows, once per point.
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
    TagSource m_tags;
    Clock m_clock;
    OpenMeterList m_openMeters;
    qint64 m_quietLimitMs;
};

} // namespace corvane
