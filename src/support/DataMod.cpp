#include "support/DataMod.h"

namespace corvane {

QString GetHex4(qint32 number) {
    if (number < 0 || number > 0xFFFF) {
        return QStringLiteral("Error");
    }
    return QStringLiteral("%1").arg(number, 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace corvane
