#include "support/LogCategories.h"

Q_LOGGING_CATEGORY(lcConnection, "corvane.connection", QtInfoMsg)
Q_LOGGING_CATEGORY(lcProtocol, "corvane.protocol", QtInfoMsg)
Q_LOGGING_CATEGORY(lcMeters, "corvane.meters", QtInfoMsg)
Q_LOGGING_CATEGORY(lcPanel, "corvane.panel", QtInfoMsg)
