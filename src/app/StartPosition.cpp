#include "app/StartPosition.h"

#include "app/TextFile.h"
#include "support/NumberRules.h"

#include <QLocale>
#include <QSaveFile>

namespace corvane {

namespace {

// The position is written in the locale's format; read it the same way, and also in the
// neutral format so that a file written under another locale still reads.
double readLocaleNumber(const QString& text) {
    bool ok = false;
    const QString trimmed = text.trimmed();
    double value = QLocale::system().toDouble(trimmed, &ok);
    if (!ok) {
        value = QLocale::c().toDouble(trimmed, &ok);
    }
    if (!ok) {
        throw ConversionError("not a number");
    }
    return value;
}

} // namespace

StartPosition GetStartPosition(const QString& path) {
    const auto text = ReadTextFile(path);
    return text ? ParseStartPosition(*text) : StartPosition{};
}

StartPosition ParseStartPosition(const QString& text) {
    StartPosition position;
    try {
        for (const QString& line : SplitTextLines(text)) {
            const QStringList pieces = line.split(QLatin1Char('='));
            if (pieces.size() != 2) {
                continue;
            }
            const QString key = pieces[0].toLower();
            if (key == QLatin1String("left")) {
                position.left = ToInt32(readLocaleNumber(pieces[1]));
            } else if (key == QLatin1String("top")) {
                position.top = ToInt32(readLocaleNumber(pieces[1]));
            }
        }
    } catch (const ConversionError&) {
        // A bad number ends the reading; what was read before stays.
    }
    return position;
}

QString StartPositionText(float leftTwips, float topTwips) {
    const QString point = QLocale::system().decimalPoint();
    const QChar separator = point.isEmpty() ? QLatin1Char('.') : point.at(0);
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("Left=") + ShortestSingleText(leftTwips, separator) + crlf +
           QStringLiteral("Top=") + ShortestSingleText(topTwips, separator) + crlf + crlf;
}

bool SaveStartPosition(const QString& path, float leftTwips, float topTwips) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray text = StartPositionText(leftTwips, topTwips).toUtf8();
    // A short write (a full disk) is no error to the file itself; without this check the old
    // position would be replaced by a cut-off one.
    if (file.write(text) != text.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace corvane
