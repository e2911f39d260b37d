#pragma once

#include "common/DemoPoints.h"

#include <QElapsedTimer>
#include <QList>
#include <QSet>
#include <QString>

namespace corvane::demo {

// Keeps the points that clients listen to in a file, so that a meter server started again
// knows which points its clients should subscribe again, and can tell when all of them have:
// the proof that meters show levels again after the server came back.
class ResubscriptionWatch {
public:
    explicit ResubscriptionWatch(const QString& path) : m_path(path) {}

    // Reads the points listened to before this start; they are awaited from now on. Returns
    // how many there are.
    qsizetype start();
    // The points listened to now: written to the file, and the awaited ones among them ticked
    // off. True once, when the last awaited point has just been subscribed again.
    bool update(const QList<DemoPoint>& listened);

    qsizetype rememberedCount() const { return m_remembered; }
    qsizetype awaitedCount() const { return m_awaited.size(); }
    qint64 elapsedMs() const { return m_clock.elapsed(); }

    static QByteArray encode(QList<DemoPoint> points);
    static QList<DemoPoint> decode(const QByteArray& text);

private:
    QString m_path;
    QSet<DemoPoint> m_awaited;
    qsizetype m_remembered = 0;
    QByteArray m_written;
    QElapsedTimer m_clock;
};

} // namespace corvane::demo
