#include "panel/ListItems.h"

#include "panel/PanelLimits.h"
#include "support/LogCategories.h"

namespace corvane {

namespace {

// Calls take(start, length) for every non-empty piece between commas, in order.
template <typename Take> void forEachItem(const QString& list, Take take) {
    qsizetype start = 0;
    while (start <= list.size()) {
        qsizetype end = list.indexOf(QLatin1Char(','), start);
        if (end < 0) {
            end = list.size();
        }
        if (end > start) {
            take(start, end - start);
        }
        start = end + 1;
    }
}

} // namespace

QStringList DropDownItems(const QString& list) {
    QStringList items;
    qsizetype skipped = 0;
    forEachItem(list, [&](qsizetype start, qsizetype length) {
        if (items.size() < PanelLimits::kMaxListItems) {
            items.append(list.mid(start, length));
        } else {
            ++skipped;
        }
    });
    if (skipped > 0) {
        qCWarning(lcPanel) << "A list holds more than" << PanelLimits::kMaxListItems
                           << "items:" << skipped << "skipped";
    }
    return items;
}

qsizetype DropDownItemCount(const QString& list) {
    qsizetype count = 0;
    forEachItem(list, [&](qsizetype, qsizetype) { ++count; });
    return count;
}

} // namespace corvane
