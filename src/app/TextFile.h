#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace corvane {

// Reads a whole text file by bare name or path: UTF-8, or Latin-1 when it is not valid UTF-8.
// Nothing when the file is missing or unreadable. Files larger than maxBytes are not read, so
// a stray huge file cannot stall start-up.
std::optional<QString> ReadTextFile(const QString& path, qint64 maxBytes = 1 << 20);

QString DecodeTextFile(const QByteArray& bytes);

// Splits a file's text into lines at "\r\n". A bare "\n" also ends a line: text files on this
// platform end lines that way, and a hand-edited file must not run two lines into one.
QStringList SplitTextLines(const QString& text);

} // namespace corvane
