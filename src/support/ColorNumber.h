#pragma once

#include <QColor>

namespace corvane {

// Colour numbers are 32-bit integers laid out 0x00BBGGRR (red in the low byte). The system
// button-face colour is the platform's system-colour number for the button face.
constexpr qint32 kSystemButtonFace = static_cast<qint32>(0x8000000F);

QColor colorFromNumber(qint32 number);
qint32 numberFromColor(const QColor& color);

// A decimal colour-number text, as records keep their on and off colours, as a number. Text
// that is not a whole number is a ConversionError.
qint32 ColorNumberFromText(const QString& text);

} // namespace corvane
