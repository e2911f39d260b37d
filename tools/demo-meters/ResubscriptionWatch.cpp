#include "ResubscriptionWatch.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <tuple>

namespace corvane::demo {

namespace {
constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;
} // namespace

QByteArray ResubscriptionWatch::encode(QList<DemoPoint> points) {
    std::sort(points.begin(), points.end(), [](const DemoPoint& a, const DemoPoint& b) {
        return std::tie(a.router, a.io, a.isDest) < std::tie(b.router, b.io, b.isDest);
    });
    QByteArray text;
    for (const DemoPoint& point : points) {
        text += (point.isDest ? "DST " : "SRC ") + QByteArray::number(point.router) + ' ' +
                QByteArray::number(point.io) + '\n';
    }
    return text;
}

QList<DemoPoint> ResubscriptionWatch::decode(const QByteArray& text) {
    QList<DemoPoint> points;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() != 3 || (fields[0] != "SRC" && fields[0] != "DST")) {
            continue;
        }
        const DemoPoint point{fields[1].toInt(), fields[2].toInt(), fields[0] == "DST"};
        if (point.isValid()) {
            points.append(point);
        }
    }
    return points;
}

qsizetype ResubscriptionWatch::start() {
    m_clock.start();
    QFile file(m_path);
    if (file.open(QIODevice::ReadOnly)) {
        m_written = file.read(kMaxFileBytes);
        const QList<DemoPoint> points = decode(m_written);
        m_awaited = QSet<DemoPoint>(points.cbegin(), points.cend());
    }
    m_remembered = m_awaited.size();
    return m_remembered;
}

bool ResubscriptionWatch::update(const QList<DemoPoint>& listened) {
    const QByteArray text = encode(listened);
    if (text != m_written && text.size() <= kMaxFileBytes) {
        QSaveFile file(m_path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(text);
            if (file.commit()) {
                m_written = text;
            }
        }
    }
    if (m_awaited.isEmpty()) {
        return false;
    }
    for (const DemoPoint& point : listened) {
        m_awaited.remove(point);
    }
    return m_awaited.isEmpty();
}

} // namespace corvane::demo
