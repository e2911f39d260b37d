#include "app/ServerTable.h"

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
        for (const QString& host : hosts) {
            for (const QString& port : ports) {
                table.append(ServerRow{host, port, name});
            }
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

QStringList HuntHosts(const QList<ServerRow>& table) {
    QStringList hosts;
    hosts.reserve(table.size());
    for (const ServerRow& row : table) {
        hosts.append(row.host);
    }
    return hosts;
}

} // namespace corvane
