#include "protocol/FrameTrace.h"

#include "protocol/ClientProtocolConsts.h"

namespace corvane {

namespace {
// Enough of a payload to recognise it; a panel definition of megabytes is not copied whole.
constexpr qsizetype kShownPayloadChars = 160;
} // namespace

QString PrintableText(QStringView text, qsizetype maxChars) {
    QString shown;
    const QStringView head = text.left(maxChars);
    shown.reserve(head.size());
    for (const QChar ch : head) {
        if (ch.unicode() < 0x20 || ch.unicode() == 0x7F) {
            shown += QStringLiteral("\\x%1").arg(ch.unicode(), 2, 16, QLatin1Char('0'));
        } else {
            shown += ch;
        }
    }
    if (text.size() > maxChars) {
        shown += QStringLiteral("... (%1 characters)").arg(text.size());
    }
    return shown;
}

QString DescribeFrame(QStringView frame) {
    if (frame.endsWith(modClientProtocolConsts::strFrameEnd)) {
        frame.chop(modClientProtocolConsts::strFrameEnd.size());
    }
    if (!frame.startsWith(modClientProtocolConsts::strFrameStart) ||
        frame.size() < kFrameHeaderLength) {
        return QStringLiteral("not a frame: \"%1\"").arg(PrintableText(frame, kShownPayloadChars));
    }
    const int command = frame[modClientProtocolConsts::strFrameStart.size()].unicode();
    const QStringView address = frame.sliced(kFrameHeaderLength - 12, 12);
    return QStringLiteral("command %1 address %2 \"%3\"")
        .arg(command)
        .arg(PrintableText(address, 12),
             PrintableText(frame.sliced(kFrameHeaderLength), kShownPayloadChars));
}

} // namespace corvane
