#include "runtime/MeterTags.h"

#include "panel/PanelState.h"
#include "support/DataMod.h"

namespace corvane {

QString MeterTag(qint32 router, qint32 io, bool isDest) {
    return GetHex4(router) + QLatin1String("::") + QString::number(io) +
           (isDest ? QLatin1String("::True") : QLatin1String("::False"));
}

QStringList GetOpenMeterTags(const PanelState& panel) {
    QStringList tags;
    for (const auto& entry : panel.collControls) {
        const clsUPControl* record = entry.value.get();
        if (record == nullptr) {
            continue;
        }
        const QString type = record->typeKey();
        if (type == QLatin1String("meter") || type == QLatin1String("meterfader")) {
            tags.append(MeterTag(record->lngMeterRTRNum, record->lngMeterIONum,
                                 !record->boolMeterIsSource));
        }
    }
    return tags;
}

} // namespace corvane
