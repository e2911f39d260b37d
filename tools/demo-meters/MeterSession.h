#pragma once

#include "LevelGenerator.h"
#include "MeterPointPool.h"
#include "common/DemoPoints.h"

#include <QByteArray>
#include <QHash>
#include <QList>

#include <vector>

namespace corvane::demo {

// One client of the meter server, apart from its socket. The client sets how often it wants
// levels ("SetMeterPoll N", N milliseconds between readings), subscribes points with
// "sm SRC|DST ROUTER IO ADDRESS" and drops them with "um ..."; every poll it is sent one level
// line per subscribed point:
//   MTR SRC 2 11 rtr2-in.studio.lan/11 PEEK:-12:-14 RMS:-20:-21
// Lines end with CR LF (a bare LF is accepted); anything else is ignored.
class MeterSession {
public:
    static constexpr qsizetype kMaxLineBytes = 4096;
    static constexpr qsizetype kMaxSubscriptions = 20000;
    static constexpr int kDefaultPollMs = 120;
    static constexpr int kMinPollMs = 20;
    static constexpr int kMaxPollMs = 10000;

    explicit MeterSession(MeterPointPool& pool) : m_pool(pool) {}
    ~MeterSession();
    MeterSession(const MeterSession&) = delete;
    MeterSession& operator=(const MeterSession&) = delete;

    // Handles every line these bytes complete; returns those lines (without their ending).
    // A line longer than the bound is dropped unread.
    QList<QByteArray> receive(const QByteArray& bytes);

    int pollMs() const { return m_pollMs; }
    qsizetype subscriptionCount() const { return qsizetype(m_subscriptions.size()); }
    bool isSubscribed(const DemoPoint& point) const { return m_index.contains(point); }

    // One level line for every subscribed point.
    QByteArray levelLines(qint64 nowMs);

    static QByteArray levelLine(const DemoPoint& point, const QByteArray& path,
                                const StereoLevels& levels);

private:
    struct Subscription {
        DemoPoint point;
        QByteArray path;
    };

    void handleLine(const QByteArray& line);
    void subscribe(const DemoPoint& point, const QByteArray& path);
    void unsubscribe(const DemoPoint& point);

    MeterPointPool& m_pool;
    QByteArray m_buffer;
    bool m_skippingLongLine = false;
    int m_pollMs = kDefaultPollMs;
    std::vector<Subscription> m_subscriptions;
    QHash<DemoPoint, size_t> m_index; // point -> position in m_subscriptions
};

} // namespace corvane::demo
