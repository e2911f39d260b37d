#include "app/ServerTable.h"

#include "connection/CoreAddress.h"
#include "connection/CoreConnector.h"

namespace corvane {

QList<ServerRow> PrepareConnectList(const QStringList& collServerEntries,
                                    const QString& preferredHost, const QString& preferredPort) {
    QList<ServerRow> table;
    for (const QString& entry : collServerEntries) {
        const QStringList pieces = entry.split(QStringLiteral("|||"));
        if (pieces.size() < 2) {
            continue;
        }
        const QStringList hosts = pieces[0].split(QLatin1Char(','));
        const QStringList ports = pieces[1].split(QLatin1Char(','));
        const QString name = pieces.size() > 2 ? pieces[2] : QString();
        for (qsizetype row = 0; row < hosts.size() * ports.size(); ++row) {
            if (table.size() == kMaxServerRows) {
                break;
            }
            table.append(ServerRow{hosts[row / ports.size()], ports[row % ports.size()], name});
        }
    }
    if (preferredHost.isEmpty() || preferredPort.isEmpty()) {
        return table;
    }

    qsizetype chosen = -1;
    for (qsizetype i = 0; i < table.size(); ++i) {
        if (table[i].host == preferredHost && table[i].port == preferredPort) {
            chosen = i;
            break;
        }
    }
    if (chosen < 0) {
        table.append(ServerRow{preferredHost, preferredPort, QStringLiteral("Unknown")});
        chosen = table.size() - 1;
    }
    table.move(chosen, 0);
    return table;
}

namespace {

// The row's port as a TCP port; 0 when it is none (the connector then uses its Core port).
quint16 rowPort(const QString& port) {
    bool ok = false;
    const uint value = port.trimmed().toUInt(&ok, 10);
    return ok && value <= 65535 ? static_cast<quint16>(value) : 0;
}

QString huntEntry(const ServerRow& row, quint16 corePort) {
    const quint16 port = rowPort(row.port);
    if (port == 0 || port == corePort) {
        return row.host;
    }
    // Read the host as the connector will: when it names a port of its own, that port comes
    // out whatever the default is.
    const auto address = CoreAddress::parse(row.host, port);
    const auto probe = CoreAddress::parse(row.host, port == 1 ? 2 : 1);
    if (!address || !probe || probe->port == address->port) {
        return row.host; // no usable host, or one that names its own port
    }
    // A bare IPv6 address carries colons of its own.
    const bool v6 = address->host.contains(QLatin1Char(':'));
    return (v6 ? QLatin1Char('[') + address->host + QLatin1Char(']') : address->host) +
           QLatin1Char(':') + QString::number(port);
}

} // namespace

QStringList HuntHosts(const QList<ServerRow>& table, quint16 corePort) {
    QStringList hosts;
    hosts.reserve(table.size());
    for (const ServerRow& row : table) {
        hosts.append(huntEntry(row, corePort));
    }
    return hosts;
}

CoreHunt HuntForConfiguration(const QStringList& collServerEntries, const QString& primaryHost,
                              int primaryPort) {
    CoreHunt hunt;
    hunt.corePort = primaryPort > 0 && primaryPort <= 65535 ? static_cast<quint16>(primaryPort)
                                                            : CoreConnector::kDefaultCorePort;
    hunt.hosts =
        HuntHosts(PrepareConnectList(collServerEntries, primaryHost, QString::number(primaryPort)),
                  hunt.corePort);
    return hunt;
}

} // namespace corvane
