#include "support/TestFrame.h"

#include "protocol/ClientProtocolConsts.h"

namespace corvane::test {

namespace {
constexpr int kCommandPosition = 2;
constexpr int kAddressPosition = 3;
constexpr int kAddressLength = 12;
} // namespace

bool TestFrame::isWellFormed() const {
    return text.startsWith(modClientProtocolConsts::strFrameStart) &&
           text.size() >= kFrameHeaderLength;
}

int TestFrame::command() const {
    return text.size() > kCommandPosition ? text.at(kCommandPosition).unicode() : -1;
}

QString TestFrame::addressBlock() const {
    return text.mid(kAddressPosition, kAddressLength);
}

QString TestFrame::payload() const {
    return text.mid(kFrameHeaderLength);
}

QStringList TestFrame::fields() const {
    return payload().split(modClientProtocolConsts::strFieldSeparator);
}

QByteArray TestFrame::build(int command, const QString& addressBlock, const QString& payload) {
    return (modClientProtocolConsts::strFrameStart + QChar(command) + addressBlock + payload +
            modClientProtocolConsts::strFrameEnd)
        .toUtf8();
}

} // namespace corvane::test
