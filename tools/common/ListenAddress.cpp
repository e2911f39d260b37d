#include "ListenAddress.h"

namespace corvane::demo {

namespace {

std::optional<quint16> portNumber(const QString& text) {
    bool ok = false;
    const uint port = text.toUInt(&ok);
    if (!ok || port > 65535 || text.startsWith(QLatin1Char('+'))) {
        return std::nullopt;
    }
    return quint16(port);
}

std::optional<QHostAddress> hostAddress(const QString& text) {
    if (text == QLatin1String("*")) {
        return QHostAddress(QHostAddress::Any);
    }
    if (text.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) {
        return QHostAddress(QHostAddress::LocalHost);
    }
    QHostAddress address;
    if (!address.setAddress(text)) {
        return std::nullopt;
    }
    return address;
}

} // namespace

std::optional<ListenAddress> ListenAddress::parse(const QString& rawText, quint16 defaultPort) {
    const QString text = rawText.trimmed();
    if (text.isEmpty()) {
        return std::nullopt;
    }
    QString host = text;
    QString port;
    if (text.startsWith(QLatin1Char('['))) {
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        if (close < 0) {
            return std::nullopt;
        }
        host = text.mid(1, close - 1);
        const QString rest = text.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(QLatin1Char(':'))) {
                return std::nullopt;
            }
            port = rest.mid(1);
        }
    } else if (text.count(QLatin1Char(':')) == 1) {
        host = text.section(QLatin1Char(':'), 0, 0);
        port = text.section(QLatin1Char(':'), 1);
    } else if (text.count(QLatin1Char(':')) == 0 && portNumber(text)) {
        host = QStringLiteral("127.0.0.1");
        port = text;
    }

    ListenAddress result;
    const auto address = hostAddress(host.isEmpty() ? QStringLiteral("127.0.0.1") : host);
    if (!address) {
        return std::nullopt;
    }
    result.address = *address;
    if (port.isNull()) {
        result.port = defaultPort;
    } else if (const auto number = portNumber(port)) {
        result.port = *number;
    } else {
        return std::nullopt;
    }
    return result;
}

QString ListenAddress::describe(const QHostAddress& address, quint16 port) {
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QLatin1Char('[') + address.toString() + QLatin1Char(']')
                             : address.toString();
    return host + QLatin1Char(':') + QString::number(port);
}

} // namespace corvane::demo
