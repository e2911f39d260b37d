#include "panel/ParseStringToColl.h"

namespace corvane {

void ParseStringToColl(QString& text, QStringList& list, const QString& delimiter) {
    if (text.isEmpty()) {
        return;
    }
    if (delimiter.isEmpty()) {
        list.append(text); // nothing to split at
        return;
    }
    if (text.endsWith(delimiter)) {
        text.chop(delimiter.size());
    }
    if (text.isEmpty()) {
        return;
    }
    list.append(text.split(delimiter, Qt::KeepEmptyParts, Qt::CaseSensitive));
}

} // namespace corvane
