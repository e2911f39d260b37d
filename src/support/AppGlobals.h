#pragma once

#include <QString>

namespace corvane {

// Values that live for the whole run and are shared by the main window, the Core connection
// and the meter client. One instance, reached through appGlobals().
struct AppGlobals {
    QString strUserName;
    QString strUserPassword; // kept and passed on exactly as configured
    bool boolCoreMeterMode = false;
    bool boolShuttingDown = false;
    bool boolUseComma = false;
    qint16 intMeterServerPort = 9501;
    qint16 intMeterPollValue = 120;
    QString strMeterServerHost;
};

AppGlobals& appGlobals();

} // namespace corvane
