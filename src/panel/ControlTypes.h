#pragma once

#include <QStringList>
#include <QStringView>

namespace corvane {

// Control types (lower case) whose records the panel keeps without showing anything: a codec
// control keeps its own XML for those who drive it, a meter hold is a meter point that
// shut-down unsubscribes. The types the panel shows are those of FormBuilder::BuildsType.
inline const QStringList& KeptUnshownTypes() {
    static const QStringList types{QStringLiteral("codeccontrol"), QStringLiteral("meterhold")};
    return types;
}

inline bool IsKeptUnshownType(QStringView type) {
    return KeptUnshownTypes().contains(type);
}

} // namespace corvane
