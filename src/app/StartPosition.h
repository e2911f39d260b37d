#pragma once

#include <QString>

namespace corvane {

inline const QString kPositionFileName = QStringLiteral("MiniPosition.inf");

struct StartPosition {
    qint16 left = 0; // twips
    qint16 top = 0;
};

// Reads "Left=" and "Top=" lines. Missing file, empty file or a bad number: the values read
// before stay and the others are 0.
StartPosition GetStartPosition(const QString& path);
StartPosition ParseStartPosition(const QString& text);

// The file's text for a window at left and top twips, in the locale's number format.
QString StartPositionText(float leftTwips, float topTwips);

// Writes the position. The new text goes to a temporary file that then replaces the old one,
// so a failed write never loses the previous position. Returns whether it was written.
bool SaveStartPosition(const QString& path, float leftTwips, float topTwips);

} // namespace corvane
