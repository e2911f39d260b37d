#include "MeterPointPool.h"

namespace corvane::demo {

namespace {

quint64 seedOf(const DemoPoint& point) {
    return (quint64(point.router) << 33) ^ (quint64(point.io) << 1) ^ quint64(point.isDest);
}

} // namespace

bool MeterPointPool::acquire(const DemoPoint& point) {
    auto found = m_points.find(point);
    if (found == m_points.end()) {
        if (m_points.size() >= kMaxPoints) {
            return false;
        }
        found = m_points.emplace(point, Entry{LevelGenerator(ProgrammeOf(point), seedOf(point)), 0})
                    .first;
    }
    if (++found->second.listeners == 1 && m_watchChanged) {
        m_watchChanged(point, true);
    }
    return true;
}

void MeterPointPool::release(const DemoPoint& point) {
    const auto found = m_points.find(point);
    if (found == m_points.end() || --found->second.listeners > 0) {
        return;
    }
    m_points.erase(found);
    if (m_watchChanged) {
        m_watchChanged(point, false);
    }
}

StereoLevels MeterPointPool::levels(const DemoPoint& point, qint64 nowMs) {
    const auto found = m_points.find(point);
    if (found == m_points.end()) {
        return LevelGenerator::afterChannel({}, false, 0);
    }
    return LevelGenerator::afterChannel(found->second.generator.at(nowMs), m_hints.isOn(point),
                                        m_hints.gainDb(point));
}

QList<DemoPoint> MeterPointPool::points() const {
    QList<DemoPoint> points;
    points.reserve(qsizetype(m_points.size()));
    for (const auto& entry : m_points) {
        points.append(entry.first);
    }
    return points;
}

int MeterPointPool::listeners(const DemoPoint& point) const {
    const auto found = m_points.find(point);
    return found == m_points.end() ? 0 : found->second.listeners;
}

} // namespace corvane::demo
