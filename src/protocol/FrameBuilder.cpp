#include "protocol/FrameBuilder.h"

#include "protocol/ClientProtocolConsts.h"
#include "support/DataMod.h"

namespace corvane {

namespace {
constexpr qsizetype kAddressBlockLength = 12;

bool isAsciiHexDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}
} // namespace

QString BuildFrame(int command, QStringView addressBlock, QStringView payload) {
    QString frame;
    frame.reserve(modClientProtocolConsts::strFrameStart.size() + 1 + addressBlock.size() +
                  payload.size() + modClientProtocolConsts::strFrameEnd.size());
    frame += modClientProtocolConsts::strFrameStart;
    frame += QChar(command);
    frame += addressBlock;
    frame += payload;
    frame += modClientProtocolConsts::strFrameEnd;
    return frame;
}

bool HasValidAddressBlock(QStringView frame) {
    const qsizetype start = modClientProtocolConsts::strFrameStart.size() + 1; // and the command
    if (!frame.startsWith(modClientProtocolConsts::strFrameStart) ||
        frame.size() < start + kAddressBlockLength) {
        return false;
    }
    for (const QChar c : frame.mid(start, kAddressBlockLength)) {
        if (!isAsciiHexDigit(c.unicode())) {
            return false;
        }
    }
    return true;
}

QString PointAddressBlock(qint32 router, qint32 io, bool isSource) {
    static const QString none = QStringLiteral("0000");
    const QString ioField = GetHex4(io);
    return GetHex4(router) + (isSource ? ioField + none : none + ioField);
}

} // namespace corvane
