#pragma once

#include <QByteArray>
#include <QString>

namespace corvane {

// The login the connector sends as soon as TCP connects: one command-40 frame whose payload
// is "LOGIN", the user name and the password, separated by the field separator.
QByteArray BuildLoginFrame(const QString& userName, const QString& password);

// Why these credentials cannot travel in a login frame, or empty text when they can. The Core
// cuts frames at the frame end (two characters of code 3), so a user name or password holding
// it, or a password ending in one such character, would cut the login short and the Core would
// read the rest as another frame.
QString LoginCredentialsProblem(const QString& userName, const QString& password);

} // namespace corvane
