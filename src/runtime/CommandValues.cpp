#include "runtime/CommandValues.h"

#include "components/MeterFader.h"
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

constexpr qsizetype kMarkerLength = 2; // "$$"

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

const MeterFader& visibleStrip(const clsUPControl& record) {
    const auto* strip = qobject_cast<const MeterFader*>(&visibleControl(record));
    if (strip == nullptr) {
        throw UnreadableValue("the control is not a channel strip");
    }
    return *strip;
}

bool isStrip(const QString& type) {
    return type == QLatin1String("meterfader");
}

// A strip's programme-bus button as "True" or "False"; other controls have none.
template <int Bus> QString busValue(const clsUPControl& record, const QString& type) {
    return isStrip(type) ? BoolText(visibleStrip(record).PGMBusOn(Bus)) : QString();
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
        // What a channel strip shows of its channel, so that a Core can read a panel back.
        {QStringLiteral("channelon"),
         [](const clsUPControl& r, const QString& type) {
             return isStrip(type) ? BoolText(visibleStrip(r).ChannelOn()) : QString();
         }},
        {QStringLiteral("pgm1on"), &busValue<1>},
        {QStringLiteral("pgm2on"), &busValue<2>},
        {QStringLiteral("pgm3on"), &busValue<3>},
        {QStringLiteral("pgm4on"), &busValue<4>},
        // Empty until the Core has sent the strip a gain.
        {QStringLiteral("faderlevel"),
         [](const clsUPControl& r, const QString& type) {
             if (!isStrip(type) || !visibleStrip(r).FaderActive()) {
                 return QString();
             }
             return ShortestSingleText(visibleStrip(r).FaderLevel());
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
    const ControlRecordPtr* record = state.collControls.find(inner.left(dot));
    if (record == nullptr || !*record) {
        return {};
    }
    return CommandValue(**record, inner.sliced(dot + 1).toString().toLower());
}

// Where the next "$$" starts, at or after `from`; -1 when there is none. Commands are short,
// so a plain walk over the characters beats a general text search set up on every call.
qsizetype findMarker(QStringView text, qsizetype from) {
    for (qsizetype at = from; at + 1 < text.size(); ++at) {
        if (text[at] == u'$' && text[at + 1] == u'$') {
            return at;
        }
    }
    return -1;
}

// The command with every "$$PanelName$$", in any letter case, read left to right without
// overlaps, replaced by the panel's name. The text itself when it has none.
QString withPanelName(const QString& text, const QString& panelName) {
    const QLatin1String panelMarker("$$PanelName$$");
    QString result;
    qsizetype copied = 0;
    qsizetype at = 0;
    while ((at = findMarker(text, at)) >= 0) {
        const bool mayBePanelName = at + 2 < text.size() && text[at + 2].toLower() == u'p';
        if (!mayBePanelName ||
            !QStringView(text).sliced(at).startsWith(panelMarker, Qt::CaseInsensitive)) {
            ++at; // "$$$PanelName$$" holds it one character on
            continue;
        }
        result += QStringView(text).sliced(copied, at - copied);
        result += panelName;
        at += panelMarker.size();
        copied = at;
    }
    if (copied == 0) {
        return text;
    }
    result += QStringView(text).sliced(copied);
    return result;
}

} // namespace

QString CommandValue(const clsUPControl& record, const QString& property) {
    const ValueReader reader = valueReaders().value(property, nullptr);
    return reader ? reader(record, record.typeKey()) : QString();
}

QString ReplaceValueInCommand(const QString& commandText, const PanelState& state) {
    try {
        const QString text = withPanelName(commandText, state.windowTag);
        const QStringView view(text);
        QString result;
        result.reserve(text.size() + 64);
        qsizetype from = 0;
        for (;;) {
            const qsizetype open = findMarker(view, from);
            if (open < 0) {
                result += view.sliced(from);
                return result;
            }
            result += view.sliced(from, open - from);
            // The closing marker may overlap the opening one ("$$$"): then nothing is inside.
            const qsizetype close = findMarker(view, open + 1);
            if (close < 0) {
                // A "$$" without a partner is dropped.
                result += view.sliced(open + kMarkerLength);
                return result;
            }
            const qsizetype innerLength = std::max<qsizetype>(0, close - open - kMarkerLength);
            // The value goes in as it is: the scan goes on in the command after the placeholder.
            result += placeholderValue(view.sliced(open + kMarkerLength, innerLength), state);
            from = close + kMarkerLength;
        }
    } catch (const std::exception&) {
        return commandText;
    }
}

} // namespace corvane
