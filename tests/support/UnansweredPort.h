#pragma once

#include <QtGlobal>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace corvane::test {

// A port on loopback that never answers a connection attempt, like a server behind a firewall
// that drops them: it listens with no room in its queue and the queue is already full, so the
// kernel ignores every further attempt and a client stays "connecting".
class UnansweredPort {
public:
    UnansweredPort() {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        if (m_listener < 0 ||
            ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(m_listener, 0) != 0 ||
            ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            return;
        }
        m_port = ntohs(address.sin_port);
        // Fill the queue; attempts that do not fit stay pending and are harmless.
        for (int n = 0; n < 3; ++n) {
            const int filler = ::socket(AF_INET, SOCK_STREAM, 0);
            ::fcntl(filler, F_SETFL, O_NONBLOCK);
            ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof(address));
            m_fillers.push_back(filler);
        }
    }
    ~UnansweredPort() {
        for (int fd : m_fillers) {
            ::close(fd);
        }
        if (m_listener >= 0) {
            ::close(m_listener);
        }
    }
    UnansweredPort(const UnansweredPort&) = delete;
    UnansweredPort& operator=(const UnansweredPort&) = delete;

    quint16 port() const { return m_port; }

private:
    int m_listener = -1;
    quint16 m_port = 0;
    std::vector<int> m_fillers;
};

} // namespace corvane::test
