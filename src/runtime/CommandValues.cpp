#include "runtime/CommandValues.h"

#include "panel/ControlProperties.h"
#include "panel/PanelState.h"
#include "support/NumberRules.h"

#include <QComboBox>
#include <QHash>
#include <QWidget>

#include <algorithm>
#include <stdexcept>

namespace corvane {

namespace CP = ControlProperties;

namespace {

const QString kMarker = QStringLiteral("$$");

// A value the control cannot give: the substitution is abandoned.
class UnreadableValue : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

const QWidget& visibleControl(const clsUPControl& record) {
    if (!record.pntrControl) {
        throw UnreadableValue("the control is not on the panel");
    }
    return *record.pntrControl;
}

const QComboBox& visibleList(const clsUPControl& record) {
    const auto* list = qobject_cast<const QComboBox*>(&visibleControl(record));
    if (list == nullptr) {
        throw UnreadableValue("the control is not a list");
    }
    return *list;
}

// Positions are sent as the twips the panel set; one that a 16-bit field cannot hold fails.
QString positionText(double twips) {
    ToInt16(twips);
    return ShortestDecimalText(twips);
}

// Captions go out with the line breaks the Core writes, "\r\n".
QString withCrLf(QString text) {
    if (text.contains(QLatin1Char('\n'))) {
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    }
    return text;
}

QString caption(const clsUPControl& record, const QString& type) {
    const QWidget& control = visibleControl(record);
    if (type == QLatin1String("textbox")) {
        return withCrLf(CP::Caption(&control));
    }
    if (type != QLatin1String("button") && type != QLatin1String("label") &&
        type != QLatin1String("form")) {
        throw UnreadableValue("the control has no caption");
    }
    // As a caption holds it: an ampersand doubled, so that it shows as itself.
    QString text = CP::Caption(&control);
    text.replace(QLatin1Char('&'), QLatin1String("&&"));
    return withCrLf(text);
}

QString listText(const clsUPControl& record) {
    const QComboBox& list = visibleList(record);
    QStringList items;
    items.reserve(list.count());
    for (int i = 0; i < list.count(); ++i) {
        items.append(list.itemText(i));
    }
    return items.join(QLatin1Char(','));
}

using ValueReader = QString (*)(const clsUPControl& record, const QString& type);

const QHash<QString, ValueReader>& valueReaders() {
    static const QHash<QString, ValueReader> readers{
        {QStringLiteral("controltype"),
         [](const clsUPControl& r, const QString&) { return r.ControlType; }},
        {QStringLiteral("name"), [](const clsUPControl& r, const QString&) { return r.Name; }},
        {QStringLiteral("width"),
         [](const clsUPControl& r, const QString&) {
             return positionText(CP::Width(&visibleControl(r)));
         }},
        {QStringLiteral("height"),
         [](const clsUPControl& r, const QString&) {
             return positionText(CP::Height(&visibleControl(r)));
         }},
        {QStringLiteral("left"),
         [](const clsUPControl& r, const QString&) {
             return positionText(CP::Left(&visibleControl(r)));
         }},
        {QStringLiteral("top"),
         [](const clsUPControl& r, const QString&) {
             return positionText(CP::Top(&visibleControl(r)));
         }},
        {QStringLiteral("backcolor"),
         [](const clsUPControl& r, const QString&) {
             return QString::number(CP::BackColor(&visibleControl(r)));
         }},
        // The record keeps these colours; the visible control knows only the one it shows.
        {QStringLiteral("backcoloron"),
         [](const clsUPControl& r, const QString&) { return r.BackColorOn; }},
        {QStringLiteral("backcoloroff"),
         [](const clsUPControl& r, const QString&) { return r.BackColorOff; }},
        {QStringLiteral("forecolor"),
         [](const clsUPControl& r, const QString& type) {
             return type == QLatin1String("button")
                        ? QString()
                        : QString::number(CP::ForeColor(&visibleControl(r)));
         }},
        {QStringLiteral("picture"),
         [](const clsUPControl& r, const QString& type) {
             return type == QLatin1String("form") || type == QLatin1String("button")
                        ? r.PictureUpOff
                        : QString();
         }},
        {QStringLiteral("caption"), &caption},
        {QStringLiteral("flashpicture"),
         [](const clsUPControl& r, const QString&) { return r.FlashPicture; }},
        {QStringLiteral("enabled"),
         [](const clsUPControl& r, const QString&) { return BoolText(r.Enabled); }},
        {QStringLiteral("flash"),
         [](const clsUPControl& r, const QString&) {
             return r.Flash ? QStringLiteral("On") : QStringLiteral("Off");
         }},
        {QStringLiteral("list"),
         [](const clsUPControl& r, const QString& type) {
             return type == QLatin1String("dropdown") ? listText(r) : QString();
         }},
        {QStringLiteral("listindex"),
         [](const clsUPControl& r, const QString& type) {
             return type == QLatin1String("dropdown")
                        ? QString::number(visibleList(r).currentIndex())
                        : QString();
         }},
    };
    return readers;
}

// The value of one placeholder's inner text; empty when it is malformed or names no control.
QString placeholderValue(QStringView inner, const PanelState& state) {
    const qsizetype dot = inner.indexOf(QLatin1Char('.'));
    if (dot < 0 || inner.indexOf(QLatin1Char('.'), dot + 1) >= 0) {
        return {};
    }
    const ControlRecordPtr* record = state.collControls.find(inner.left(dot).toString());
    if (record == nullptr || !*record) {
        return {};
    }
    return CommandValue(**record, inner.sliced(dot + 1).toString().toLower());
}

} // namespace

QString CommandValue(const clsUPControl& record, const QString& property) {
    const ValueReader reader = valueReaders().value(property, nullptr);
    return reader ? reader(record, record.typeKey()) : QString();
}

QString ReplaceValueInCommand(const QString& commandText, const PanelState& state) {
    try {
        QString text = commandText;
        text.replace(QLatin1String("$$PanelName$$"), state.windowTag, Qt::CaseInsensitive);
        qsizetype from = 0;
        for (;;) {
            const qsizetype open = text.indexOf(kMarker, from);
            if (open < 0) {
                return text;
            }
            // The closing marker may overlap the opening one ("$$$"): then nothing is inside.
            const qsizetype close = text.indexOf(kMarker, open + 1);
            if (close < 0) {
                text.replace(open, text.size() - open, text.sliced(open).remove(kMarker));
                return text;
            }
            const qsizetype innerLength = std::max<qsizetype>(0, close - open - kMarker.size());
            const QString value = placeholderValue(
                QStringView(text).sliced(open + kMarker.size(), innerLength), state);
            text.replace(open, close + kMarker.size() - open, value);
            from = open + value.size();
        }
    } catch (const std::exception&) {
        return commandText;
    }
}

} // namespace corvane
