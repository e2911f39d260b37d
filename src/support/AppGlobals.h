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
    quint16 intMeterServerPort = 9501; // any TCP port a site configures
    qint16 intMeterPollValue = 120;
    QString strMeterServerHost;
};

AppGlobals& appGlobals();

} // namespace corvane
