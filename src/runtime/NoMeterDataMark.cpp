#include "runtime/NoMeterDataMark.h"

#include <QApplication>

namespace corvane {

namespace {
// Small, yet read from two metres; its own size whatever the panel's scale.
constexpr qreal kMarkPoints = 13;
} // namespace

NoMeterDataMark::NoMeterDataMark(QWidget* window) : QLabel(window) {
    setObjectName(QStringLiteral("noMeterDataMark"));
    setText(QStringLiteral("No meter data"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont font = QApplication::font();
    font.setPointSizeF(kMarkPoints);
    font.setBold(true);
    setFont(font);
    setStyleSheet(QStringLiteral("QLabel { color: #e6e6e6; background: #303030;"
                                 " border: 1px solid #8c8c8c; border-radius: 4px;"
                                 " padding: 3px 8px; }"));
    adjustSize();
    hide();
}

} // namespace corvane
