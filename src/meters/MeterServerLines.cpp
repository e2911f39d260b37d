#include "meters/MeterServerLines.h"

namespace corvane {

QByteArray PollLine(qint32 pollValue) {
    return "SetMeterPoll " + QByteArray::number(pollValue) + "\r\n";
}

QByteArray SubscriptionLine(bool unsubscribe, const MeterPoint& point, const QString& address) {
    QByteArray line = unsubscribe ? "um " : "sm ";
    line += point.isDestination ? "DST " : "SRC ";
    line += QByteArray::number(point.router);
    line += ' ';
    line += QByteArray::number(point.io);
    line += ' ';
    // A line break inside an address would end the line early and make the rest a line of its
    // own, so breaks are left out: the request stays one line.
    QByteArray bytes = address.toLatin1();
    bytes.removeIf([](char c) { return c == '\r' || c == '\n'; });
    line += bytes;
    line += "\r\n";
    return line;
}

} // namespace corvane
