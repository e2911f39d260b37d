#include "runtime/CommandValues.h"

#include "components/MeterFader.h"
#include "panel/CaptionText.h"
#include "panel/ControlProperties.h"
#include "panel/PanelDropDown.h"
#include "panel/PanelState.h"
#include "panel/VisibleControl.h"
#include "support/NumberRules.h"

#include <QHash>
#include <QWidget>

#include <algorithm>
#include <initializer_list>
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

const PanelDropDown& visibleList(const clsUPControl& record) {
    const auto* list = qobject_cast<const PanelDropDown*>(&VisibleControl(record));
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

QString caption(const clsUPControl& record, const QString& type) {
    return CaptionForCore(CP::Caption(&VisibleControl(record)), type != QLatin1String("textbox"));
}

const MeterFader& visibleStrip(const clsUPControl& record) {
    const auto* strip = qobject_cast<const MeterFader*>(&VisibleControl(record));
    if (strip == nullptr) {
        throw UnreadableValue("the control is not a channel strip");
    }
    return *strip;
}

// A strip's programme-bus button as "True" or "False".
template <int Bus> QString busValue(const clsUPControl& record, const QString&) {
    return BoolText(visibleStrip(record).PGMBusOn(Bus));
}

QString listText(const clsUPControl& record) {
    const PanelDropDown& list = visibleList(record);
    QStringList items;
    items.reserve(list.count());
    for (int i = 0; i < list.count(); ++i) {
        items.append(list.itemText(i));
    }
    return items.join(QLatin1Char(','));
}

using ValueReader = QString (*)(const clsUPControl& record, const QString& type);
using TypeRule = CommandRead (*)(const QString& type);

// What a property gives for a control type, before the control itself is asked.
CommandRead everyType(const QString&) {
    return CommandRead::Value;
}

bool isOneOf(const QString& type, std::initializer_list<const char*> types) {
    return std::any_of(types.begin(), types.end(),
                       [&](const char* given) { return type == QLatin1String(given); });
}

CommandRead captioned(const QString& type) {
    return isOneOf(type, {"textbox", "button", "label", "form"}) ? CommandRead::Value
                                                                 : CommandRead::Fails;
}

CommandRead pictured(const QString& type) {
    return isOneOf(type, {"form", "button"}) ? CommandRead::Value : CommandRead::Nothing;
}

CommandRead lists(const QString& type) {
    return type == QLatin1String("dropdown") ? CommandRead::Value : CommandRead::Nothing;
}

// What a channel strip shows of its channel, so that a Core can read a panel back.
CommandRead strips(const QString& type) {
    return type == QLatin1String("meterfader") ? CommandRead::Value : CommandRead::Nothing;
}

CommandRead notButtons(const QString& type) {
    // Buttons keep the text colour of their style: they have none to give.
    return type == QLatin1String("button") ? CommandRead::Nothing : CommandRead::Value;
}

struct PropertyReader {
    ValueReader read;
    TypeRule types;
    bool fromControl; // read from the visible control: fails while the control is not built
};

const QHash<QString, PropertyReader>& propertyReaders() {
    static const QHash<QString, PropertyReader> readers{
        {QStringLiteral("controltype"),
         {[](const clsUPControl& r, const QString&) { return r.ControlType; }, everyType, false}},
        {QStringLiteral("name"),
         {[](const clsUPControl& r, const QString&) { return r.Name; }, everyType, false}},
        {QStringLiteral("width"),
         {[](const clsUPControl& r, const QString&) {
              return positionText(CP::Width(&VisibleControl(r)));
          },
          everyType, true}},
        {QStringLiteral("height"),
         {[](const clsUPControl& r, const QString&) {
              return positionText(CP::Height(&VisibleControl(r)));
          },
          everyType, true}},
        {QStringLiteral("left"),
         {[](const clsUPControl& r, const QString&) {
              return positionText(CP::Left(&VisibleControl(r)));
          },
          everyType, true}},
        {QStringLiteral("top"),
         {[](const clsUPControl& r, const QString&) {
              return positionText(CP::Top(&VisibleControl(r)));
          },
          everyType, true}},
        {QStringLiteral("backcolor"),
         {[](const clsUPControl& r, const QString&) {
              return QString::number(CP::BackColor(&VisibleControl(r)));
          },
          everyType, true}},
        // The record keeps these colours; the visible control knows only the one it shows.
        {QStringLiteral("backcoloron"),
         {[](const clsUPControl& r, const QString&) { return r.BackColorOn; }, everyType, false}},
        {QStringLiteral("backcoloroff"),
         {[](const clsUPControl& r, const QString&) { return r.BackColorOff; }, everyType, false}},
        {QStringLiteral("forecolor"),
         {[](const clsUPControl& r, const QString&) {
              return QString::number(CP::ForeColor(&VisibleControl(r)));
          },
          notButtons, true}},
        {QStringLiteral("picture"),
         {[](const clsUPControl& r, const QString&) { return r.PictureUpOff; }, pictured, false}},
        {QStringLiteral("caption"), {&caption, captioned, true}},
        {QStringLiteral("flashpicture"),
         {[](const clsUPControl& r, const QString&) { return r.FlashPicture; }, everyType, false}},
        {QStringLiteral("enabled"),
         {[](const clsUPControl& r, const QString&) { return BoolText(r.Enabled); }, everyType,
          false}},
        {QStringLiteral("flash"),
         {[](const clsUPControl& r, const QString&) {
              return r.Flash ? QStringLiteral("On") : QStringLiteral("Off");
          },
          everyType, false}},
        {QStringLiteral("list"),
         {[](const clsUPControl& r, const QString&) { return listText(r); }, lists, true}},
        {QStringLiteral("listindex"),
         {[](const clsUPControl& r, const QString&) {
              return QString::number(visibleList(r).currentIndex());
          },
          lists, true}},
        {QStringLiteral("channelon"),
         {[](const clsUPControl& r, const QString&) {
              return BoolText(visibleStrip(r).ChannelOn());
          },
          strips, true}},
        {QStringLiteral("pgm1on"), {&busValue<1>, strips, true}},
        {QStringLiteral("pgm2on"), {&busValue<2>, strips, true}},
        {QStringLiteral("pgm3on"), {&busValue<3>, strips, true}},
        {QStringLiteral("pgm4on"), {&busValue<4>, strips, true}},
        // Empty until the Core has sent the strip a gain.
        {QStringLiteral("faderlevel"),
         {[](const clsUPControl& r, const QString&) {
              const MeterFader& strip = visibleStrip(r);
              return strip.FaderActive() ? ShortestSingleText(strip.FaderLevel()) : QString();
          },
          strips, true}},
    };
    return readers;
}

// The value of one placeholder's inner text; empty when it is malformed or names no control.
QString placeholderValue(QStringView inner, const PanelState& state) {
    const auto parts = SplitPlaceholder(inner);
    if (!parts) {
        return {};
    }
    const ControlRecordPtr* record = state.collControls.find(parts->control);
    if (record == nullptr || !*record) {
        return {};
    }
    return CommandValue(**record, parts->property.toString().toLower());
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

// Walks a command whose panel name is filled in: literal(text) for the text between
// placeholders, placeholder(inner) for each placeholder's inner text, left to right. A "$$"
// without a partner is dropped; the closing marker may overlap the opening one ("$$$").
template <typename Literal, typename Placeholder>
void scanCommand(QStringView text, Literal literal, Placeholder placeholder) {
    qsizetype from = 0;
    for (;;) {
        const qsizetype open = findMarker(text, from);
        if (open < 0) {
            literal(text.sliced(from));
            return;
        }
        literal(text.sliced(from, open - from));
        const qsizetype close = findMarker(text, open + 1);
        if (close < 0) {
            literal(text.sliced(open + kMarkerLength));
            return;
        }
        const qsizetype innerLength = std::max<qsizetype>(0, close - open - kMarkerLength);
        placeholder(text.sliced(open + kMarkerLength, innerLength));
        from = close + kMarkerLength;
    }
}

} // namespace

std::optional<PlaceholderParts> SplitPlaceholder(QStringView inner) {
    const qsizetype dot = inner.indexOf(QLatin1Char('.'));
    if (dot < 0 || inner.indexOf(QLatin1Char('.'), dot + 1) >= 0) {
        return std::nullopt;
    }
    return PlaceholderParts{inner.left(dot), inner.sliced(dot + 1)};
}

QStringList CommandPlaceholders(const QString& commandText, const QString& panelName) {
    QStringList placeholders;
    const QString text = withPanelName(commandText, panelName);
    scanCommand(
        text, [](QStringView) {},
        [&](QStringView inner) { placeholders.append(inner.toString()); });
    return placeholders;
}

QString CommandValue(const clsUPControl& record, const QString& property) {
    const auto reader = propertyReaders().constFind(property);
    if (reader == propertyReaders().cend()) {
        return {};
    }
    const QString type = record.typeKey();
    switch (reader->types(type)) {
    case CommandRead::Nothing:
        return {};
    case CommandRead::Fails:
        throw UnreadableValue("the control has no such value");
    case CommandRead::Value:
        break;
    }
    return reader->read(record, type);
}

CommandRead CommandReadOf(const QString& type, const QString& property, bool onPanel) {
    const auto reader = propertyReaders().constFind(property);
    if (reader == propertyReaders().cend()) {
        return CommandRead::Nothing;
    }
    const CommandRead read = reader->types(type);
    if (read == CommandRead::Value && reader->fromControl && !onPanel) {
        return CommandRead::Fails;
    }
    return read;
}

QStringList CommandPropertyNames() {
    QStringList names = propertyReaders().keys();
    names.sort();
    return names;
}

QString ReplaceValueInCommand(const QString& commandText, const PanelState& state) {
    try {
        const QString text = withPanelName(commandText, state.windowTag);
        QString result;
        result.reserve(text.size() + 64);
        // A value goes in as it is: the scan goes on in the command after the placeholder.
        scanCommand(
            text, [&](QStringView literal) { result += literal; },
            [&](QStringView inner) { result += placeholderValue(inner, state); });
        return result;
    } catch (const std::exception&) {
        return commandText;
    }
}

} // namespace corvane
