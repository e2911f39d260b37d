#include "CheckContext.h"
#include "PanelChecks.h"
#include "meters/MeterPoint.h"

namespace corvane::check {

namespace {

bool isMeter(const clsUPControl& record) {
    const QString type = record.typeKey();
    return type == QLatin1String("meter") || type == QLatin1String("meterfader");
}

// What is wrong with one number of the point, or nothing.
QString numberProblem(const ReadEntry& entry, const char* key, qint32 number) {
    if (!entry.lastField({key})) {
        return QStringLiteral("no %1").arg(QLatin1String(key));
    }
    if (number <= 0) {
        return QStringLiteral("%1 %2, where points are numbered from 1")
            .arg(QLatin1String(key))
            .arg(number);
    }
    if (!FitsLevelLines(number)) {
        return QStringLiteral("%1 %2 is above 32767, which level lines cannot carry")
            .arg(QLatin1String(key))
            .arg(number);
    }
    return {};
}

} // namespace

void CheckMeters(CheckContext& context) {
    for (const ReadEntry& entry : context.read.entries()) {
        if (!entry.registered || !isMeter(*entry.record)) {
            continue;
        }
        const clsUPControl& record = *entry.record;
        if (IsSubscribedPoint(record.lngMeterRTRNum, record.lngMeterIONum) &&
            FitsLevelLines(record.lngMeterRTRNum) && FitsLevelLines(record.lngMeterIONum)) {
            continue;
        }
        QStringList problems;
        const char* at = nullptr;
        for (const auto& [key, number] : {std::pair{"meterrouternumber", record.lngMeterRTRNum},
                                          std::pair{"meterionumber", record.lngMeterIONum}}) {
            const QString problem = numberProblem(entry, key, number);
            if (!problem.isEmpty()) {
                problems.append(problem);
                at = at != nullptr ? at : key;
            }
        }
        context.report(Severity::Warning, entry, {at},
                       QStringLiteral("%1: %2; its meter never moves")
                           .arg(Describe(record), problems.join(QStringLiteral(" and "))));
    }
}

} // namespace corvane::check
