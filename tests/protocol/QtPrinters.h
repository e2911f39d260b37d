#pragma once

#include <QString>

#include <ostream>

// Readable gtest messages for Qt texts; control characters are shown as <n>.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"';
    for (QChar c : text) {
        if (c.unicode() < 32) {
            *out << '<' << static_cast<int>(c.unicode()) << '>';
        } else {
            *out << QString(c).toStdString();
        }
    }
    *out << '"';
}
