#include "app/EventLoopChoice.h"

#include <QByteArray>

namespace corvane {

void PreferQtEventLoop() {
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB")) {
        qputenv("QT_NO_GLIB", "1");
    }
}

} // namespace corvane
