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

// The ordered table of Core servers: every host of an entry with every port of it, in entry
// order, with the preferred host and port moved (or added as "Unknown") to the front.
QList<ServerRow> PrepareConnectList(const QStringList& collServerEntries,
                                    const QString& preferredHost, const QString& preferredPort);

// The host column, in table order: what hunting is given.
QStringList HuntHosts(const QList<ServerRow>& table);

} // namespace corvane
