#include "panel/ListItems.h"

#include "panel/PanelLimits.h"
#include "support/LogCategories.h"

namespace corvane {

QStringList DropDownItems(const QString& list) {
    QStringList items;
    qsizetype skipped = 0;
    qsizetype start = 0;
    while (start <= list.size()) {
        qsizetype end = list.indexOf(QLatin1Char(','), start);
        if (end < 0) {
            end = list.size();
        }
        if (end > start) {
            if (items.size() < PanelLimits::kMaxListItems) {
                items.append(list.mid(start, end - start));
            } else {
                ++skipped;
            }
        }
        start = end + 1;
    }
    if (skipped > 0) {
        qCWarning(lcPanel) << "A list holds more than" << PanelLimits::kMaxListItems
                           << "items:" << skipped << "skipped";
    }
    return items;
}

} // namespace corvane
