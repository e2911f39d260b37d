#pragma once

#include <QString>
#include <QStringList>

namespace corvane {

// Appends the pieces of the text between delimiters to the list, empty pieces included. One
// trailing delimiter is removed first, and the caller's text keeps that shortening. An empty
// text appends nothing.
void ParseStringToColl(QString& text, QStringList& list, const QString& delimiter);

} // namespace corvane
