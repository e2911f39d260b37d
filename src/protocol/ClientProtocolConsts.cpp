#include "protocol/ClientProtocolConsts.h"

namespace corvane {

const QString modClientProtocolConsts::strFrameStart = QString(2, QChar(2));
const QString modClientProtocolConsts::strFrameEnd = QString(2, QChar(3));
const QString modClientProtocolConsts::strNoAddress = QStringLiteral("000000000000");
const QString modClientProtocolConsts::strFieldSeparator = QString(QChar(31));
const QString modClientProtocolConsts::strRecordSeparator =
    QString(QChar(30)) + QChar(31) + QChar(30);

void InitializeClientProtocolConsts() {
    // The constants are initialised statically; this call remains the start-up step that
    // guarantees they are in place before any frame is built.
}

} // namespace corvane
