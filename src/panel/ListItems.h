#pragma once

#include <QString>
#include <QStringList>

namespace corvane {

// The items of a drop-down list from its "list" text: every non-empty piece between commas,
// in order and untrimmed. At most PanelLimits::kMaxListItems; the rest is skipped and logged,
// without ever splitting a huge text into pieces first.
QStringList DropDownItems(const QString& list);

} // namespace corvane
