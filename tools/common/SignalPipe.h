#pragma once

#include <QList>
#include <QObject>

class QSocketNotifier;

namespace corvane::demo {

// Turns the given process signals into a Qt signal on the event loop, so that a script can
// tell a demo server what to do with `kill -USR1` and the like: the handler only writes the
// signal's number into a pipe that a socket notifier watches. One instance a process.
class SignalPipe : public QObject {
    Q_OBJECT
public:
    explicit SignalPipe(const QList<int>& signalNumbers, QObject* parent = nullptr);
    ~SignalPipe() override;

    bool isActive() const { return m_notifier != nullptr; }

signals:
    void received(int signalNumber);

private:
    void readPipe();

    int m_readFd = -1;
    int m_writeFd = -1;
    QList<int> m_signals;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace corvane::demo
