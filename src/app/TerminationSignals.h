#pragma once

#include <QObject>

#include <csignal>

class QSocketNotifier;

namespace corvane {

// Turns SIGTERM and SIGINT (a service stop, a session ending, Ctrl+C in a terminal) into a Qt
// signal on the user-interface thread, so that the program can end in its usual orderly way.
// The signal handler only writes the signal's number into a pipe; a socket notifier on the
// other end raises terminationRequested. One instance at a time; it restores the previous
// handlers when it goes.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // Whether the handlers are in place (false when the pipe could not be made).
    bool isActive() const { return m_notifier != nullptr; }

signals:
    void terminationRequested(int signalNumber);

private:
    static void handleSignal(int signalNumber);
    void readPipe();

    int m_readFd = -1;
    int m_writeFd = -1;
    QSocketNotifier* m_notifier = nullptr;
    struct sigaction m_previousTerm = {};
    struct sigaction m_previousInt = {};
};

} // namespace corvane
