#pragma once

#include <QString>
#include <QStringView>

namespace corvane {

// One frame as a readable line for the diagnostic log: the command number, the address block
// and the start of the payload, with control characters written as \xNN. Takes a whole frame
// or a piece cut by the receive buffer (no frame end). Long payloads are cut, with their length.
QString DescribeFrame(QStringView frame);

// Control characters of a text written as \xNN, at most maxChars characters of it.
QString PrintableText(QStringView text, qsizetype maxChars);

} // namespace corvane
