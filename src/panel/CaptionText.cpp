#include "panel/CaptionText.h"

namespace corvane {

QString CaptionFromCore(const QString& text) {
    QString caption = text;
    caption.replace(QLatin1String("\\n"), QLatin1String("\r\n"));
    return caption;
}

QString CaptionForLabel(const QString& caption) {
    QString text = caption;
    text.replace(QLatin1Char('&'), QLatin1String("&&"));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString CaptionForCore(const QString& shown, bool shownByLabel) {
    QString text = shown;
    if (shownByLabel) {
        text.replace(QLatin1Char('&'), QLatin1String("&&"));
    }
    if (text.contains(QLatin1Char('\n'))) {
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    }
    return text;
}

} // namespace corvane
