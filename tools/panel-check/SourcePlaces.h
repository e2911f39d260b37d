#pragma once

#include <QList>
#include <QString>

namespace corvane::check {

struct Place {
    int line = 1;
    int column = 1;
};

// Places in a definition's text, which must outlive it. The XML parser gives each element the
// place just after the ">" of its start tag; an author looks for the "<" where the tag begins.
class SourcePlaces {
public:
    explicit SourcePlaces(const QString& text);

    // The start of the tag that ends at the parser's line and column (1-based, the column
    // counting the characters of the line read so far). Line 1, column 1 when unknown.
    Place tagStart(int line, int column) const;

private:
    qsizetype offsetOf(int line, int column) const;
    Place placeOf(qsizetype offset) const;

    const QString& m_text;
    QList<qsizetype> m_lineStarts;
};

} // namespace corvane::check
