#pragma once

#include <QString>

#include <optional>

namespace corvane {

// One entry of the connector's hunt list, split into host and port. Accepted forms:
// "host", "host:port", "[v6-address]", "[v6-address]:port" and a bare IPv6 address (more than
// one colon, no brackets), which cannot carry a port. A missing port means the Core port.
struct CoreAddress {
    QString host;
    quint16 port = 0;

    // Returns nothing for text that names no usable host or carries a port outside 1..65535.
    static std::optional<CoreAddress> parse(const QString& text, quint16 defaultPort);
};

} // namespace corvane
