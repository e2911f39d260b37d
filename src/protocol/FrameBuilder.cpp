#include "protocol/FrameBuilder.h"

#include "protocol/ClientProtocolConsts.h"
#include "support/DataMod.h"

namespace corvane {

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

QString PointAddressBlock(qint32 router, qint32 io, bool isSource) {
    static const QString none = QStringLiteral("0000");
    const QString ioField = GetHex4(io);
    return GetHex4(router) + (isSource ? ioField + none : none + ioField);
}

} // namespace corvane
