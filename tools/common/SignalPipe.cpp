#include "SignalPipe.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace corvane::demo {

namespace {

volatile sig_atomic_t g_writeFd = -1;

void handleSignal(int signalNumber) {
    const int savedErrno = errno;
    const int fd = g_writeFd;
    if (fd != -1) {
        const unsigned char byte = static_cast<unsigned char>(signalNumber);
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

SignalPipe::SignalPipe(const QList<int>& signalNumbers, QObject* parent)
    : QObject(parent), m_signals(signalNumbers) {
    int fds[2];
    if (g_writeFd != -1 || ::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    m_readFd = fds[0];
    m_writeFd = fds[1];
    g_writeFd = m_writeFd;
    m_notifier = new QSocketNotifier(m_readFd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalPipe::readPipe);
    struct sigaction action = {};
    action.sa_handler = &handleSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : m_signals) {
        ::sigaction(number, &action, nullptr);
    }
}

SignalPipe::~SignalPipe() {
    if (m_notifier == nullptr) {
        return;
    }
    for (int number : m_signals) {
        ::signal(number, SIG_DFL);
    }
    g_writeFd = -1;
    delete m_notifier;
    ::close(m_readFd);
    ::close(m_writeFd);
}

void SignalPipe::readPipe() {
    unsigned char bytes[16];
    for (;;) {
        const ssize_t count = ::read(m_readFd, bytes, sizeof bytes);
        if (count <= 0) {
            return;
        }
        for (ssize_t i = 0; i < count; ++i) {
            emit received(bytes[i]);
        }
    }
}

} // namespace corvane::demo
