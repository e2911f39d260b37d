#pragma once

#include <QLoggingCategory>

// Diagnostic output of the client, one category per concern. Debug messages are off unless
// switched on, for example with QT_LOGGING_RULES="corvane.*.debug=true"; warnings always show.
Q_DECLARE_LOGGING_CATEGORY(lcConnection) // corvane.connection: the Core connection
Q_DECLARE_LOGGING_CATEGORY(lcProtocol)   // corvane.protocol: client-protocol frames in and out
Q_DECLARE_LOGGING_CATEGORY(lcMeters)     // corvane.meters: the meter-server connection
Q_DECLARE_LOGGING_CATEGORY(lcPanel)      // corvane.panel: building and unloading the panel
