#include "app/TerminationSignals.h"

#include <QSocketNotifier>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace corvane {

namespace {
// The write end of the pipe, for the handler; -1 while no instance is installed.
volatile sig_atomic_t g_signalWriteFd = -1;
} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (g_signalWriteFd != -1) {
        return; // another instance owns the handlers
    }
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    m_readFd = fds[0];
    m_writeFd = fds[1];
    g_signalWriteFd = m_writeFd;

    m_notifier = new QSocketNotifier(m_readFd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPipe);

    struct sigaction action = {};
    action.sa_handler = &TerminationSignals::handleSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, &m_previousTerm);
    ::sigaction(SIGINT, &action, &m_previousInt);
}

TerminationSignals::~TerminationSignals() {
    if (m_notifier == nullptr) {
        return;
    }
    ::sigaction(SIGTERM, &m_previousTerm, nullptr);
    ::sigaction(SIGINT, &m_previousInt, nullptr);
    g_signalWriteFd = -1;
    delete m_notifier;
    ::close(m_readFd);
    ::close(m_writeFd);
}

void TerminationSignals::handleSignal(int signalNumber) {
    // Only async-signal-safe calls here: one byte into the pipe, errno left as it was.
    const int savedErrno = errno;
    const int fd = g_signalWriteFd;
    if (fd != -1) {
        const unsigned char byte = static_cast<unsigned char>(signalNumber);
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

void TerminationSignals::readPipe() {
    unsigned char bytes[16];
    for (;;) {
        const ssize_t count = ::read(m_readFd, bytes, sizeof bytes);
        if (count <= 0) {
            return; // emptied (EAGAIN), or nothing more to read
        }
        for (ssize_t i = 0; i < count; ++i) {
            emit terminationRequested(bytes[i]);
        }
    }
}

} // namespace corvane
