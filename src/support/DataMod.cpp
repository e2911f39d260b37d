#include "support/DataMod.h"

#include "support/NumberRules.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <QWidget>

namespace corvane {

QString GetHex4(qint32 number) {
    if (number < 0 || number > 0xFFFF) {
        return QStringLiteral("Error");
    }
    return QStringLiteral("%1").arg(number, 4, 16, QLatin1Char('0')).toUpper();
}

bool CheckUseComma() {
    return CheckUseComma(QLocale::system());
}

bool CheckUseComma(const QLocale& locale) {
    return locale.toString(1.1).contains(QLatin1Char(','));
}

QString ConvertStringNumToInternat(const QString& text, bool useComma) {
    QString converted = text;
    if (useComma) {
        converted.replace(QLatin1Char('.'), QLatin1Char(','));
    } else {
        converted.replace(QLatin1Char(','), QLatin1Char('.'));
    }
    return converted;
}

bool DoesFormExist(const QString& name) {
    const QString wanted = name.toLower();
    const auto windows = QApplication::topLevelWidgets();
    for (const QWidget* window : windows) {
        if (window->objectName().toLower() == wanted) {
            return true;
        }
    }
    return false;
}

QPoint CenterFormPosition(QSize screen, QSize window) {
    const qint32 top = ToInt32(screen.height() * 0.85) / 2 - window.height() / 2;
    const qint32 left = screen.width() / 2 - window.width() / 2;
    return {left, top};
}

void CenterForm(QWidget* window) {
    if (!window) {
        return;
    }
    QScreen* screen = window->screen();
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    if (!screen) {
        return;
    }
    const QRect area = screen->geometry();
    const QPoint offset = CenterFormPosition(area.size(), window->frameGeometry().size());
    window->move(area.topLeft() + offset);
}

} // namespace corvane
