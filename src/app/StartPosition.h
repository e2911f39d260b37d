#pragma once

#include <QString>

namespace corvane {

inline const QString kPositionFileName = QStringLiteral("MiniPosition.inf");

// In twips, 32-bit: a window kept on a second monitor lies beyond the 16-bit range (32,767
// twips is about 2,180 pixels).
struct StartPosition {
    qint32 left = 0;
    qint32 top = 0;
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
