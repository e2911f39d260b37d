#pragma once

#include <QHostAddress>
#include <QString>

#include <optional>

namespace corvane::demo {

// Where a demo server listens, from its --listen option: "ADDRESS:PORT", "[IPv6]:PORT",
// "ADDRESS" (the default port) or "PORT" (loopback). The address is an IP address, "localhost"
// or "*" for every interface. Port 0 picks a free port.
struct ListenAddress {
    QHostAddress address{QHostAddress::LocalHost};
    quint16 port = 0;

    static std::optional<ListenAddress> parse(const QString& text, quint16 defaultPort);
    // "127.0.0.1:5200", "[::1]:5200"
    static QString describe(const QHostAddress& address, quint16 port);
};

} // namespace corvane::demo
