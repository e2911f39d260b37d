#include "FrameTrace.h"

#include "protocol/ClientProtocolConsts.h"

namespace corvane::demo {

namespace {

using Consts = modClientProtocolConsts;

QString controlName(char16_t c) {
    switch (c) {
    case 2:
        return QStringLiteral("<STX>");
    case 3:
        return QStringLiteral("<ETX>");
    case 9:
        return QStringLiteral("\\t");
    case 10:
        return QStringLiteral("\\n");
    case 13:
        return QStringLiteral("\\r");
    case 30:
        return QStringLiteral("<RS>");
    case 31:
        return QStringLiteral("<US>");
    default:
        return QStringLiteral("<x") +
               QString::number(int(c), 16).toUpper().rightJustified(2, QLatin1Char('0')) +
               QLatin1Char('>');
    }
}

} // namespace

QString VisibleText(QStringView text, qsizetype maxLength) {
    const QStringView shown = text.left(maxLength);
    QString visible;
    visible.reserve(shown.size() + 16);
    for (QChar c : shown) {
        if (c.unicode() < 32 || c.unicode() == 127) {
            visible += controlName(c.unicode());
        } else {
            visible += c;
        }
    }
    if (text.size() > shown.size()) {
        visible += QStringLiteral(" ... (%1 more characters)").arg(text.size() - shown.size());
    }
    return visible;
}

QString TraceLine(int connection, bool received, QStringView frame) {
    if (frame.endsWith(Consts::strFrameEnd)) {
        frame.chop(Consts::strFrameEnd.size());
    }
    QString line = QStringLiteral("#%1 %2 ").arg(connection).arg(received ? "<-" : "->");
    if (!frame.startsWith(Consts::strFrameStart) || frame.size() < kFrameHeaderLength) {
        return line + QStringLiteral("?? ") + VisibleText(frame);
    }
    return line + QString::number(frame[2].unicode()) + QLatin1Char(' ') +
           VisibleText(frame.sliced(3, 12)) + QLatin1Char(' ') +
           VisibleText(frame.sliced(kFrameHeaderLength));
}

} // namespace corvane::demo
