#include "connection/LoginFrame.h"

#include "protocol/ClientProtocolConsts.h"

namespace corvane {

namespace {

QString loginPayload(const QString& userName, const QString& password) {
    const QString& separator = modClientProtocolConsts::strFieldSeparator;
    return QStringLiteral("LOGIN") + separator + userName + separator + password;
}

} // namespace

QByteArray BuildLoginFrame(const QString& userName, const QString& password) {
    const QString frame = modClientProtocolConsts::strFrameStart + QChar(Command::Login) +
                          modClientProtocolConsts::strNoAddress + loginPayload(userName, password) +
                          modClientProtocolConsts::strFrameEnd;
    return frame.toUtf8();
}

QString LoginCredentialsProblem(const QString& userName, const QString& password) {
    const QString& frameEnd = modClientProtocolConsts::strFrameEnd;
    const QChar endCharacter = frameEnd.front();
    if (userName.contains(frameEnd)) {
        return QStringLiteral("the user name contains the frame end (two characters of code 3)");
    }
    if (password.contains(frameEnd) || password.endsWith(endCharacter)) {
        return QStringLiteral("the password contains the frame end (two characters of code 3) "
                              "or ends with a character of code 3");
    }
    return {};
}

} // namespace corvane
