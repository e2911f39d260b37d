#include "connection/CoreAddress.h"

namespace corvane {

namespace {

std::optional<quint16> parsePort(const QString& text) {
    bool ok = false;
    const uint value = text.toUInt(&ok, 10);
    // toUInt accepts a leading "+"; a port is digits only.
    if (!ok || text.isEmpty() || !text.front().isDigit() || value == 0 || value > 65535) {
        return std::nullopt;
    }
    return static_cast<quint16>(value);
}

} // namespace

std::optional<CoreAddress> CoreAddress::parse(const QString& text, quint16 defaultPort) {
    const QString entry = text.trimmed();
    if (entry.isEmpty()) {
        return std::nullopt;
    }
    CoreAddress result;
    result.port = defaultPort;

    if (entry.startsWith(QLatin1Char('['))) {
        const qsizetype close = entry.indexOf(QLatin1Char(']'));
        if (close < 2) {
            return std::nullopt;
        }
        result.host = entry.mid(1, close - 1);
        const QString rest = entry.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(QLatin1Char(':'))) {
                return std::nullopt;
            }
            const auto port = parsePort(rest.mid(1));
            if (!port) {
                return std::nullopt;
            }
            result.port = *port;
        }
    } else if (entry.count(QLatin1Char(':')) == 1) {
        const qsizetype colon = entry.indexOf(QLatin1Char(':'));
        result.host = entry.left(colon);
        const auto port = parsePort(entry.mid(colon + 1));
        if (result.host.isEmpty() || !port) {
            return std::nullopt;
        }
        result.port = *port;
    } else {
        result.host = entry; // a plain name, an IPv4 address or a bare IPv6 address
    }
    if (result.port == 0 || result.host.contains(QLatin1Char(' '))) {
        return std::nullopt;
    }
    return result;
}

} // namespace corvane
