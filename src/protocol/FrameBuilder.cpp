#include "protocol/FrameBuilder.h"

#include "protocol/ClientProtocolConsts.h"
#include "support/DataMod.h"
#include "support/LogCategories.h"

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
    // Text the operator typed or pasted may hold the frame-end character; the Core would end
    // the frame there and read the rest as a frame of its own.
    const QChar etx = modClientProtocolConsts::strFrameEnd.front();
    const qsizetype removed = payload.count(etx);
    if (removed == 0) {
        frame += payload;
    } else {
        for (const QChar c : payload) {
            if (c != etx) {
                frame += c;
            }
        }
        qCWarning(lcProtocol).noquote()
            << QStringLiteral("removed %1 characters of code 3 from the payload of command %2")
                   .arg(removed)
                   .arg(command);
    }
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

QString MeterSubscriptionFrame(qint32 router, qint32 io, bool isSource) {
    return BuildFrame(Command::MeterSubscription, PointAddressBlock(router, io, isSource));
}

QString MeterUnsubscriptionFrame(qint32 router, qint32 io, bool isSource) {
    return BuildFrame(Command::MeterUnsubscription, PointAddressBlock(router, io, isSource));
}

QString ButtonPushFrame(const QString& qualifiedName, bool pushed) {
    return BuildFrame(Command::ButtonPush, modClientProtocolConsts::strNoAddress,
                      (pushed ? QLatin1Char('T') : QLatin1Char('F')) + qualifiedName);
}

} // namespace corvane
