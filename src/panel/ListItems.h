#pragma once

#include <QString>
#include <QStringList>

namespace corvane {

// The items of a drop-down list from its "list" text: every non-empty piece between commas,
// in order and untrimmed. At most PanelLimits::kMaxListItems; the rest is skipped and logged,
// without ever splitting a huge text into pieces first.
QStringList DropDownItems(const QString& list);

// How many items the list text names, the ones over the limit included.
qsizetype DropDownItemCount(const QString& list);

// Whether a list of this many items refuses the selection index from a definition: an index
// below the item count selects that item, and a list takes no index below -1 (no selection).
// Higher indexes are left without a selection.
inline bool ListRejectsIndex(qint16 index, qsizetype itemCount) {
    return index < itemCount && index < -1;
}

} // namespace corvane
