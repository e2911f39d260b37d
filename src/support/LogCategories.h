#pragma once

#include <QLoggingCategory>

// The client's diagnostics, by concern. Warnings and above are on; debug messages are off
// unless switched on (QT_LOGGING_RULES="corvane.*.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcConnection) // corvane.connection
Q_DECLARE_LOGGING_CATEGORY(lcProtocol)   // corvane.protocol
Q_DECLARE_LOGGING_CATEGORY(lcMeters)     // corvane.meters
Q_DECLARE_LOGGING_CATEGORY(lcPanel)      // corvane.panel
