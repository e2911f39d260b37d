#pragma once

#include <QString>
#include <QStringView>

namespace corvane::demo {

// Text with its control characters made visible: the protocol's separators by name ("<US>",
// "<RS>", "<STX>", "<ETX>"), line breaks and tabs as "\r", "\n", "\t", anything else below a
// blank as "<xNN>". Text beyond maxLength is cut, with a note of how much was left out.
QString VisibleText(QStringView text, qsizetype maxLength = 2000);

// One trace line for a frame seen on a connection: connection, direction ("<-" received,
// "->" sent), command number, address block, payload. A frame end on the text is left out.
// A piece that is not a frame is shown whole, after "??".
QString TraceLine(int connection, bool received, QStringView frame);

} // namespace corvane::demo
