#include "support/ColorNumber.h"

#include "support/NumberRules.h"

#include <QApplication>
#include <QPalette>

namespace corvane {

QColor colorFromNumber(qint32 number) {
    if (number == kSystemButtonFace) {
        return QApplication::palette().color(QPalette::Button);
    }
    const auto value = static_cast<quint32>(number);
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

qint32 numberFromColor(const QColor& color) {
    return static_cast<qint32>((color.blue() << 16) | (color.green() << 8) | color.red());
}

qint32 ColorNumberFromText(const QString& text) {
    return NumberToInt32(text);
}

} // namespace corvane
