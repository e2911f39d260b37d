#pragma once

#include "meters/MeterPoint.h"

#include <QByteArray>
#include <QString>

namespace corvane {

// The lines the client sends to the meter server; each ends with CR LF, one byte a character.

// "SetMeterPoll " and the poll value, sent first on every new connection.
QByteArray PollLine(qint32 pollValue);

// "sm " (or "um " to unsubscribe), "SRC " or "DST ", router, " ", I/O, " ", the point's I/O
// address as the Core reported it (line breaks in it left out). Numbers in decimal.
QByteArray SubscriptionLine(bool unsubscribe, const MeterPoint& point, const QString& address);

} // namespace corvane
