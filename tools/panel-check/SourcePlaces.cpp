#include "SourcePlaces.h"

#include <algorithm>

namespace corvane::check {

SourcePlaces::SourcePlaces(const QString& text) : m_text(text) {
    m_lineStarts.append(0);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\n')) {
            m_lineStarts.append(i + 1);
        }
    }
}

qsizetype SourcePlaces::offsetOf(int line, int column) const {
    if (line < 1 || line > m_lineStarts.size()) {
        return -1;
    }
    return std::min(m_lineStarts[line - 1] + std::max(column, 1) - 1, m_text.size() - 1);
}

Place SourcePlaces::placeOf(qsizetype offset) const {
    const auto next = std::upper_bound(m_lineStarts.cbegin(), m_lineStarts.cend(), offset);
    const auto index = std::distance(m_lineStarts.cbegin(), next) - 1;
    return Place{int(index) + 1, int(offset - m_lineStarts[index]) + 1};
}

Place SourcePlaces::tagStart(int line, int column) const {
    const qsizetype end = offsetOf(line, column);
    if (end < 0) {
        return {};
    }
    const qsizetype start = m_text.lastIndexOf(QLatin1Char('<'), end);
    return placeOf(start < 0 ? end : start);
}

} // namespace corvane::check
