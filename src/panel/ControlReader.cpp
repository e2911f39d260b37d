#include "panel/ControlReader.h"

#include "panel/CaptionText.h"
#include "panel/DefinitionNotes.h"
#include "panel/DefinitionXml.h"
#include "panel/FieldConversion.h"
#include "runtime/ColorRules.h"
#include "support/NumberRules.h"

#include <QHash>

namespace corvane {

namespace {

using KeyRule = void (*)(clsUPControl&, const QString&);

qint16 prefixInt16(const QString& value) {
    return ToInt16(NumericPrefix(value));
}

qint32 colourOr(const QString& value, qint32 colourWhenEmpty) {
    return value.isEmpty() ? colourWhenEmpty : DeriveColor(value);
}

// "false" in any letter case reads as false, anything else (blanks included) as true.
bool notFalseWord(const QString& value) {
    return value.toLower() != QLatin1String("false");
}

// A value that is a number as a whole becomes a 16-bit integer (out of range is a conversion
// error); empty text and anything else give 0.
qint16 numberOrZero16(const QString& value) {
    const auto number = ReadsAsNumber(value);
    return number ? ToInt16(*number) : qint16(0);
}

struct KeyEntry {
    const char* key;
    KeyRule rule;
    NumberField number = NumberField::None; // how a value can fail to convert
};

// The control keys in the order in which they are tested.
const KeyEntry kControlKeys[] = {
    {"type", [](clsUPControl& r, const QString& v) { r.ControlType = v; }},
    {"name", [](clsUPControl& r, const QString& v) { r.Name = v; }},
    {"width", [](clsUPControl& r, const QString& v) { r.Width = prefixInt16(v); },
     NumberField::Twips16},
    {"height", [](clsUPControl& r, const QString& v) { r.Height = prefixInt16(v); },
     NumberField::Twips16},
    {"left", [](clsUPControl& r, const QString& v) { r.Left = prefixInt16(v); },
     NumberField::Twips16},
    {"top", [](clsUPControl& r, const QString& v) { r.Top = prefixInt16(v); },
     NumberField::Twips16},
    {"backcolor",
     [](clsUPControl& r, const QString& v) { r.BackColor = colourOr(v, kColorLightGrey); }},
    {"backcoloron",
     [](clsUPControl& r, const QString& v) {
         r.BackColorOn = QString::number(colourOr(v, kColorYellow));
     }},
    {"backcoloroff",
     [](clsUPControl& r, const QString& v) {
         r.BackColorOff = QString::number(colourOr(v, kColorLightGrey));
     }},
    {"buttonstate",
     [](clsUPControl& r, const QString& v) { r.strState = ShortestDecimalText(NumericPrefix(v)); }},
    {"state", [](clsUPControl& r, const QString& v) { r.strState = v; }},
    {"forecolor", [](clsUPControl& r, const QString& v) { r.ForeColor = colourOr(v, 0); }},
    {"picture", [](clsUPControl& r, const QString& v) { r.PictureUpOff = v; }},
    {"pictureupoff", [](clsUPControl& r, const QString& v) { r.PictureUpOff = v; }},
    {"pictureupon", [](clsUPControl& r, const QString& v) { r.PictureUpOn = v; }},
    {"picturedownoff", [](clsUPControl& r, const QString& v) { r.PictureDownOff = v; }},
    {"picturedownon", [](clsUPControl& r, const QString& v) { r.PictureDownOn = v; }},
    {"caption", [](clsUPControl& r, const QString& v) { r.Caption = CaptionFromCore(v); }},
    {"flashpicture", [](clsUPControl& r, const QString& v) { r.FlashPicture = v; }},
    {"flash",
     [](clsUPControl& r, const QString& v) {
         const QString word = v.trimmed().toLower();
         if (word == QLatin1String("off")) {
             r.Flash = false;
         } else if (word == QLatin1String("on")) {
             r.Flash = true;
         }
     }},
    {"list", [](clsUPControl& r, const QString& v) { r.List = v; }},
    {"listindex", [](clsUPControl& r, const QString& v) { r.ListIndex = prefixInt16(v); },
     NumberField::Prefix16},
    {"change", [](clsUPControl& r, const QString& v) { r.Change = v; }},
    {"click", [](clsUPControl& r, const QString& v) { r.Click = v; }},
    {"mousedown", [](clsUPControl& r, const QString& v) { r.MouseDown = v; }},
    {"mouseup", [](clsUPControl& r, const QString& v) { r.MouseUp = v; }},
    {"enabled", [](clsUPControl& r, const QString& v) { r.Enabled = !ReadsAsBooleanFalse(v); }},
    {"weburl", [](clsUPControl& r, const QString& v) { r.strURL = v; }},
    {"meterrouternumber",
     [](clsUPControl& r, const QString& v) { r.lngMeterRTRNum = NumberToInt32(v); },
     NumberField::WholeNumber32},
    {"meterionumber", [](clsUPControl& r, const QString& v) { r.lngMeterIONum = NumberToInt32(v); },
     NumberField::WholeNumber32},
    {"meterissource",
     [](clsUPControl& r, const QString& v) { r.boolMeterIsSource = notFalseWord(v); }},
    {"meterscale",
     [](clsUPControl& r, const QString& v) {
         const QString word = v.toLower();
         if (word == QLatin1String("linear")) {
             r.mtrScale = MeterScaleLinear;
         } else if (word == QLatin1String("standard")) {
             r.mtrScale = MeterScaleStandard;
         } else if (word == QLatin1String("british")) {
             r.mtrScale = MeterScaleBritish;
         }
     }},
    {"meterstyle",
     [](clsUPControl& r, const QString& v) {
         const QString word = v.toLower();
         if (word == QLatin1String("led")) {
             r.mtrStyle = MeterStyleLed;
         } else if (word == QLatin1String("gradient")) {
             r.mtrStyle = MeterStyleGradient;
         }
     }},
    {"levellinecolor",
     [](clsUPControl& r, const QString& v) { r.lngLevelLineColor = colourOr(v, kColorLightGrey); }},
    {"decayrate", [](clsUPControl& r, const QString& v) { r.intDecayRate = numberOrZero16(v); },
     NumberField::WholeNumber16},
    {"centerpad", [](clsUPControl& r, const QString& v) { r.intCenterPad = numberOrZero16(v); },
     NumberField::WholeNumber16},
    {"fadernominal",
     [](clsUPControl& r, const QString& v) { r.sngFaderNominal = numberOrZero16(v); },
     NumberField::WholeNumber16},
    {"hidegainvalue",
     [](clsUPControl& r, const QString& v) { r.boolHideGainValue = !ReadsAsBooleanFalse(v); }},
    {"fontname", [](clsUPControl& r, const QString& v) { r.FontName = v.trimmed(); }},
    {"fontsize",
     [](clsUPControl& r, const QString& v) {
         try {
             r.FontSize = ToInt32(NumericPrefix(v));
         } catch (const ConversionError&) {
             r.FontSize = 9; // a font size never stops the panel
         }
     }},
    {"fontbold", [](clsUPControl& r, const QString& v) { r.FontBold = notFalseWord(v); }},
    {"fontunderline", [](clsUPControl& r, const QString& v) { r.FontUnderline = notFalseWord(v); }},
    {"fontitalic", [](clsUPControl& r, const QString& v) { r.FontItalic = notFalseWord(v); }},
};

const QHash<QString, const KeyEntry*>& controlKeys() {
    static const QHash<QString, const KeyEntry*> keys = [] {
        QHash<QString, const KeyEntry*> index;
        for (const KeyEntry& entry : kControlKeys) {
            index.insert(QString::fromLatin1(entry.key), &entry);
        }
        return index;
    }();
    return keys;
}

// The text of the control's last element under the key, as the reader would keep it.
QString lastValue(const DefinitionElement& element, QLatin1String key) {
    QString value;
    for (DefinitionElement child = element.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement()) {
        if (child.key() == key) {
            value = child.text();
        }
    }
    return value;
}

void explain(const DefinitionElement& element, const DefinitionElement& field,
             const KeyEntry& entry, FieldFailure& failure) {
    failure.panelKey = false;
    failure.controlName = lastValue(element, QLatin1String("name"));
    failure.controlType = lastValue(element, QLatin1String("type"));
    failure.key = QString::fromLatin1(entry.key);
    failure.value = field.text();
    failure.reason = ExplainConversionFailure(failure.key, failure.value, entry.number);
    failure.line = field.line();
    failure.column = field.column();
}

clsUPControl newRecord() {
    // Shared by every record that keeps them: a panel may hold thousands of records.
    static const QString backColorOn = QString::number(kColorYellow);
    static const QString backColorOff = QString::number(kColorLightGrey);
    clsUPControl record;
    record.Enabled = true;
    record.BackColorOn = backColorOn;
    record.BackColorOff = backColorOff;
    return record;
}

std::optional<clsUPControl> readElement(const DefinitionElement& element, FieldFailure* failure) {
    clsUPControl record = newRecord();
    const auto& keys = controlKeys();
    DefinitionElement field;
    const KeyEntry* entry = nullptr;
    try {
        // Comments, text and processing instructions carry no property.
        for (DefinitionElement child = element.firstChildElement(); !child.isNull();
             child = child.nextSiblingElement()) {
            entry = keys.value(child.key(), nullptr);
            if (entry != nullptr) {
                field = child;
                entry->rule(record, field.text());
            }
        }
    } catch (const ConversionError&) {
        if (failure != nullptr && entry != nullptr) {
            explain(element, field, *entry, *failure);
        }
        return std::nullopt;
    }
    return record;
}

} // namespace

std::optional<clsUPControl> GetControl(const QString& xml) {
    DefinitionDocument document;
    if (!LoadDefinitionDocument(xml, document)) {
        return newRecord();
    }
    return readElement(document.root(), nullptr);
}

std::optional<clsUPControl> ReadControlNode(const DefinitionElement& node, FieldFailure* failure) {
    if (!node.isElement()) {
        return newRecord();
    }
    return readElement(node, failure);
}

QStringList ControlFieldKeys() {
    QStringList keys;
    for (const KeyEntry& entry : kControlKeys) {
        keys.append(QString::fromLatin1(entry.key));
    }
    return keys;
}

} // namespace corvane
