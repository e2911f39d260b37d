#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace corvane {

struct ServerRow {
    QString host;
    QString port;
    QString name;
    bool operator==(const ServerRow&) const = default;
};

// Rows the table keeps at most, besides a preferred row added in front: a hunt through more
// Cores than this never ends anyway, and two long lists in the configuration file would
// otherwise make a table of their product (a 1 MB file, billions of rows).
constexpr qsizetype kMaxServerRows = 256;

// The ordered table of Core servers: every host of an entry with every port of it, in entry
// order, up to kMaxServerRows rows, with the preferred host and port moved (or added as
// "Unknown") to the front.
QList<ServerRow> PrepareConnectList(const QStringList& collServerEntries,
                                    const QString& preferredHost, const QString& preferredPort);

// What hunting is given, in table order: the host of every row. A row whose port is another
// than corePort (the port the connector uses for a plain host) is given as "host:port", or
// "[v6-address]:port", so that a backup Core on its own port is reached. A host that already
// names its own port, and a port that is no TCP port, leave the host as it stands.
QStringList HuntHosts(const QList<ServerRow>& table, quint16 corePort);

// Where the client looks for its Core: the port a plain host is reached on (the configured
// primary port, else the Core's own) and the hosts to hunt over, the configured primary first.
struct CoreHunt {
    quint16 corePort = 0;
    QStringList hosts;
};
CoreHunt HuntForConfiguration(const QStringList& collServerEntries, const QString& primaryHost,
                              int primaryPort);

} // namespace corvane
