#include "PanelReadback.h"

#include "support/ColorRules.h"
#include "support/NumberRules.h"

#include <QHash>

namespace corvane::demo::PanelReadback {

namespace {

const QLatin1String kWord("readback");
// Between the values of a readback. Printable, because the command travels inside XML.
const QChar kSeparator(u'\t');

bool isAddressable(const QString& name) {
    if (name.isEmpty()) {
        return false;
    }
    for (QChar c : name) {
        if (c.unicode() < 32 || c == u'.' || c == u'$' || c == u'=') {
            return false;
        }
    }
    return true;
}

bool isStrip(const clsUPControl& record) {
    return record.typeKey() == QLatin1String("meterfader") && record.lngMeterRTRNum >= 1 &&
           record.lngMeterRTRNum <= 0xFFFF && record.lngMeterIONum >= 1 &&
           record.lngMeterIONum <= 0xFFFF;
}

// The properties read back from a control of this kind; only values it can always give, for
// one the client cannot read would make it send the whole command unfilled.
QStringList propertiesOf(const clsUPControl& record) {
    const QString type = record.typeKey();
    QStringList properties;
    if (type == QLatin1String("form")) {
        return {"caption", "backcolor", "enabled"};
    }
    if (type == QLatin1String("button")) {
        properties = {"caption", "backcolor"};
    } else if (type == QLatin1String("label") || type == QLatin1String("textbox")) {
        properties = {"caption", "backcolor", "forecolor"};
    } else if (type == QLatin1String("dropdown")) {
        properties = {"list", "listindex", "backcolor", "forecolor"};
    } else if (type != QLatin1String("meter") && type != QLatin1String("meterfader") &&
               type != QLatin1String("webbrowser")) {
        return {"enabled"}; // clocks and kinds without a control of their own
    }
    properties << "enabled"
               << "left"
               << "top";
    // A size of 0 keeps the control's own, which only the client knows.
    if (record.Width != 0) {
        properties << "width";
    }
    if (record.Height != 0 && type != QLatin1String("dropdown")) {
        properties << "height";
    }
    if (isStrip(record)) {
        properties << "channelon"
                   << "pgm1on"
                   << "pgm2on"
                   << "pgm3on"
                   << "pgm4on"
                   << "faderlevel";
    }
    return properties;
}

QList<const clsUPControl*> readControls(const StudioPanel& panel) {
    QList<const clsUPControl*> controls;
    for (const clsUPControl& record : panel.records) {
        if (isAddressable(record.Name)) {
            controls << &record;
        }
    }
    return controls;
}

QStringList listItems(const QString& list) {
    QStringList items = list.split(QLatin1Char(','));
    items.removeAll(QString());
    return items;
}

// A caption as the client reads it back: line breaks as CR LF, and for anything but a text
// box an ampersand doubled, as a caption holds it.
QString captionText(QString text, bool textBox) {
    text.replace(QLatin1String("\\n"), QLatin1String("\n"));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    if (!textBox) {
        text.replace(QLatin1Char('&'), QLatin1String("&&"));
    }
    return text;
}

// What one control shows, followed through the studio's changes as the client applies them.
struct Shown {
    clsUPControl record;
    qint32 back = 0;
    bool flashing = false;
    double left = 0, top = 0, width = 0, height = 0;
    QStringList list;
    int listIndex = -1;
    bool listIndexKnown = true;

    explicit Shown(const clsUPControl& r) : record(r) {
        const QString type = r.typeKey();
        back = type == QLatin1String("form")     ? r.BackColor
               : type == QLatin1String("button") ? stateColor()
                                                 : DeriveColor(r.BackColorOff);
        flashing = r.Flash;
        left = r.Left;
        top = r.Top;
        width = r.Width;
        height = r.Height;
        list = listItems(r.List);
        if (!list.isEmpty() && r.ListIndex < list.size()) {
            listIndex = r.ListIndex;
        }
    }

    qint32 stateColor() const {
        return DeriveColor(record.isStateOn() ? record.BackColorOn : record.BackColorOff);
    }

    void apply(const QString& property, const QString& value) {
        const bool on = record.isStateOn();
        if (property == QLatin1String("caption")) {
            record.Caption = value;
        } else if (property == QLatin1String("state")) {
            record.strState = value.trimmed();
            back = stateColor();
        } else if (property == QLatin1String("backcolor")) {
            back = DeriveColor(value);
        } else if (property == QLatin1String("backcoloron")) {
            record.BackColorOn = QString::number(DeriveColor(value));
            back = on ? DeriveColor(value) : back;
        } else if (property == QLatin1String("backcoloroff")) {
            record.BackColorOff = QString::number(DeriveColor(value));
            back = on ? back : DeriveColor(value);
        } else if (property == QLatin1String("flash")) {
            flashing = value.compare(QLatin1String("on"), Qt::CaseInsensitive) == 0;
            back = flashing ? back : stateColor();
        } else if (property == QLatin1String("enabled")) {
            record.Enabled = value.compare(QLatin1String("false"), Qt::CaseInsensitive) != 0;
        } else if (property == QLatin1String("forecolor")) {
            record.ForeColor = DeriveColor(value);
        } else if (property == QLatin1String("left")) {
            left = NumericPrefix(value);
        } else if (property == QLatin1String("top")) {
            top = NumericPrefix(value);
        } else if (property == QLatin1String("width")) {
            width = NumericPrefix(value);
        } else if (property == QLatin1String("height")) {
            height = NumericPrefix(value);
        } else if (property == QLatin1String("list")) {
            list = listItems(value);
            listIndexKnown = false; // what a refilled list selects is the list's own business
        } else if (property == QLatin1String("listindex")) {
            const double index = NumericPrefix(value);
            if (list.size() > index && index >= -1) {
                listIndex = int(index);
                listIndexKnown = true;
            }
        }
    }
};

std::optional<QString> shownValue(const Shown& shown, const QString& property,
                                  const StudioPanel& panel, const StudioState& state) {
    const clsUPControl& r = shown.record;
    const QString type = r.typeKey();
    if (property == QLatin1String("caption")) {
        // Every delivery of the panel captions the window with the panel's title.
        return type == QLatin1String("form")
                   ? captionText(panel.title, false)
                   : captionText(r.Caption, type == QLatin1String("textbox"));
    }
    if (property == QLatin1String("backcolor")) {
        return shown.flashing ? std::nullopt : std::optional(QString::number(shown.back));
    }
    if (property == QLatin1String("forecolor")) {
        return QString::number(r.ForeColor);
    }
    if (property == QLatin1String("enabled")) {
        return BoolText(r.Enabled);
    }
    const QHash<QString, double> positions{
        {"left", shown.left}, {"top", shown.top}, {"width", shown.width}, {"height", shown.height}};
    if (positions.contains(property)) {
        return ShortestDecimalText(positions.value(property));
    }
    if (property == QLatin1String("list")) {
        return shown.list.join(QLatin1Char(','));
    }
    if (property == QLatin1String("listindex")) {
        return shown.listIndexKnown ? std::optional(QString::number(shown.listIndex))
                                    : std::nullopt;
    }
    const DemoPoint point{r.lngMeterRTRNum, r.lngMeterIONum, !r.boolMeterIsSource};
    const ChannelState channel = state.channel(point);
    if (property == QLatin1String("channelon")) {
        return BoolText(channel.on);
    }
    if (property.startsWith(QLatin1String("pgm"))) {
        return BoolText(channel.pgmBusOn[property[3].unicode() - '1']);
    }
    if (property == QLatin1String("faderlevel")) {
        return ShortestSingleText(float(channel.gainDb));
    }
    return std::nullopt;
}

} // namespace

QString LoadCommand(const StudioPanel& panel) {
    QString command = kWord;
    for (const clsUPControl* record : readControls(panel)) {
        for (const QString& property : propertiesOf(*record)) {
            const QString key = record->Name + QLatin1Char('.') + property;
            command += kSeparator + key + QLatin1Char('=') + QStringLiteral("$$") + key +
                       QStringLiteral("$$");
        }
    }
    return command;
}

QString WithLoadCommand(const QString& definition, const QString& command) {
    const qsizetype end = definition.lastIndexOf(QLatin1String("</"));
    if (end < 0) {
        return definition;
    }
    QString escaped = command.toHtmlEscaped();
    return definition.left(end) + QStringLiteral("<onload>") + escaped +
           QStringLiteral("</onload>") + definition.mid(end);
}

bool IsAnswer(const QString& text) {
    return text.startsWith(kWord) &&
           (text.size() == kWord.size() || text.at(kWord.size()) == kSeparator);
}

bool IsUnfilled(const QString& text) {
    return text.contains(QLatin1String("$$"));
}

QList<Value> ParseAnswer(const QString& text) {
    QList<Value> values;
    const QStringList items = text.split(kSeparator);
    for (qsizetype i = 1; i < items.size(); ++i) {
        const qsizetype equals = items[i].indexOf(QLatin1Char('='));
        if (equals > 0) {
            values.append({items[i].left(equals), items[i].mid(equals + 1)});
        }
    }
    return values;
}

QList<Value> Expected(const StudioPanel& panel, const StudioState& state) {
    QHash<QString, Shown> shown; // by control name in lower case
    const QList<const clsUPControl*> controls = readControls(panel);
    for (const clsUPControl* record : controls) {
        shown.insert(record->Name.toLower(), Shown(*record));
    }
    for (const auto& property : state.properties(panel.name)) {
        const auto found = shown.find(property.control.toLower());
        if (found != shown.end()) {
            found->apply(property.property.toLower(), property.value);
        }
    }
    QList<Value> values;
    for (const clsUPControl* record : controls) {
        const Shown& control = *shown.constFind(record->Name.toLower());
        for (const QString& property : propertiesOf(*record)) {
            if (const auto text = shownValue(control, property, panel, state)) {
                values.append({record->Name + QLatin1Char('.') + property, *text});
            }
        }
    }
    return values;
}

int ControlCount(const StudioPanel& panel) {
    return int(readControls(panel).size());
}

QList<Difference> Compare(const QList<Value>& expected, const QList<Value>& answer) {
    QHash<QString, QString> given;
    for (const Value& value : answer) {
        given.insert(value.key.toLower(), value.text);
    }
    QList<Difference> differences;
    for (const Value& value : expected) {
        const auto found = given.constFind(value.key.toLower());
        if (found == given.cend()) {
            differences.append({value.key, value.text, {}, true});
        } else if (found.value() != value.text) {
            differences.append({value.key, value.text, found.value(), false});
        }
    }
    return differences;
}

} // namespace corvane::demo::PanelReadback
