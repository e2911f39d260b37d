#include "runtime/PropertyChanges.h"

#include "panel/CaptionText.h"
#include "panel/ControlArrays.h"
#include "panel/ControlProperties.h"
#include "panel/PanelButton.h"
#include "panel/PanelDropDown.h"
#include "panel/PanelLimits.h"
#include "panel/VisibleControl.h"
#include "runtime/ColorRules.h"
#include "runtime/ControlGraphics.h"
#include "support/NumberRules.h"

#include <QHash>
#include <QtDebug>

#include <exception>
#include <stdexcept>

namespace corvane {

namespace CP = ControlProperties;

namespace {

// One change being applied: the record, the visible control it points to (may be missing)
// and the value.
struct Change {
    PanelState& state;
    clsUPControl& record;
    QString type; // ControlType in lower case
    const QString& value;

    // The visible control; a record without one ends the change after its record was updated.
    QWidget& control() const { return VisibleControl(record); }
    bool is(const char* kind) const { return type == QLatin1String(kind); }
};

void showStateColor(const Change& c) {
    CP::SetBackColor(&c.control(), DeriveColor(c.record.isStateOn() ? c.record.BackColorOn
                                                                    : c.record.BackColorOff));
}

void setName(Change& c) {
    QString name = c.value;
    const QString panelPrefix = c.state.windowTag + QLatin1Char('.');
    if (name.startsWith(panelPrefix)) {
        name.remove(0, panelPrefix.size());
    }
    KeyedCollection<ControlRecordPtr>& controls = c.state.collControls;
    const ControlRecordPtr* current = controls.find(c.record.Name);
    if (current == nullptr || current->get() != &c.record) {
        return; // not registered under its own name: there is no key to move
    }
    // A name another control holds would leave this one without a key: it keeps its own.
    if (const ControlRecordPtr* holder = controls.find(name);
        holder && holder->get() != &c.record) {
        qWarning("Control %s keeps its name: %s is already taken", qUtf8Printable(c.record.Name),
                 qUtf8Printable(name));
        return;
    }
    const ControlRecordPtr record = *current;
    controls.remove(c.record.Name);
    c.record.Name = name;
    if (c.is("form")) {
        c.state.windowTag = name;
    }
    controls.add(name.toLower(), record);
    CP::SetTag(&c.control(), name);
}

template <qint16 clsUPControl::*Field, void (*Show)(QWidget*, double)> void setPlace(Change& c) {
    const double twips = NumericPrefix(c.value);
    c.record.*Field = ToInt16(twips);
    Show(&c.control(), twips);
}

void setBackColor(Change& c) {
    c.record.BackColor = DeriveColor(c.value);
    CP::SetBackColor(&c.control(), c.record.BackColor);
}

template <bool On> void setStateColor(Change& c) {
    const qint32 color = DeriveColor(c.value);
    (On ? c.record.BackColorOn : c.record.BackColorOff) = QString::number(color);
    if (c.record.isStateOn() == On) {
        CP::SetBackColor(&c.control(), color);
    }
}

void setState(Change& c) {
    c.record.strState = c.value.trimmed();
    showStateColor(c);
    SetControlGraphic(c.record, c.state);
}

void setEnabled(Change& c) {
    c.record.Enabled = c.value.compare(QLatin1String("false"), Qt::CaseInsensitive) != 0;
    CP::SetEnabled(&c.control(), c.record.Enabled);
}

void setForeColor(Change& c) {
    if (c.is("button")) {
        return; // buttons keep the text colour of their style
    }
    c.record.ForeColor = DeriveColor(c.value);
    CP::SetForeColor(&c.control(), c.record.ForeColor);
}

template <QString clsUPControl::*Field, bool FormToo> void setPicture(Change& c) {
    if (!c.is("button") && !(FormToo && c.is("form"))) {
        return;
    }
    c.record.*Field = c.value;
    SetControlGraphic(c.record, c.state);
}

void setCaption(Change& c) {
    c.record.Caption = c.value;
    const QString text = CaptionFromCore(c.value);
    // Buttons, labels and the window show an ampersand as itself; lists, meters and web views
    // have no caption.
    if (c.is("textbox") || c.is("button") || c.is("label") || c.is("form")) {
        CP::SetCaption(&c.control(), text);
    }
}

void setFlashPicture(Change& c) {
    c.record.FlashPicture = c.value;
}

void setFlash(Change& c) {
    c.record.Flash = c.value.compare(QLatin1String("on"), Qt::CaseInsensitive) == 0;
    if (c.record.Flash) {
        return; // the flash timer takes it from here
    }
    showStateColor(c);
    SetControlGraphic(c.record, c.state);
}

PanelDropDown* visibleList(const Change& c) {
    return c.is("dropdown") ? qobject_cast<PanelDropDown*>(&c.control()) : nullptr;
}

void setList(Change& c) {
    PanelDropDown* list = visibleList(c);
    if (list == nullptr) {
        return;
    }
    QStringList items;
    qsizetype skipped = 0;
    for (const QStringView piece : QStringView(c.value).split(QLatin1Char(','))) {
        if (piece.isEmpty()) {
            continue;
        }
        if (items.size() < PanelLimits::kMaxListItems) {
            items.append(piece.toString());
        } else {
            ++skipped;
        }
    }
    if (skipped > 0) {
        qWarning("List %s: %lld items over the limit of %d skipped", qUtf8Printable(c.record.Name),
                 static_cast<long long>(skipped), PanelLimits::kMaxListItems);
    }
    list->clear();
    list->addItems(items);
    list->setCurrentIndex(-1); // a new list shows no selection until the Core gives one
}

void setListIndex(Change& c) {
    PanelDropDown* list = visibleList(c);
    if (list == nullptr) {
        return;
    }
    const double number = NumericPrefix(c.value);
    if (list->count() > number) {
        const qint16 index = ToInt16(number);
        if (index < -1 || index >= list->count()) {
            return; // a list takes only its own entries or -1
        }
        list->setCurrentIndex(index);
    }
}

using Applier = void (*)(Change& change);

const QHash<QString, Applier>& appliers() {
    static const QHash<QString, Applier> table{
        {QStringLiteral("name"), &setName},
        {QStringLiteral("width"), &setPlace<&clsUPControl::Width, &CP::SetWidth>},
        {QStringLiteral("height"), &setPlace<&clsUPControl::Height, &CP::SetHeight>},
        {QStringLiteral("left"), &setPlace<&clsUPControl::Left, &CP::SetLeft>},
        {QStringLiteral("top"), &setPlace<&clsUPControl::Top, &CP::SetTop>},
        {QStringLiteral("backcolor"), &setBackColor},
        {QStringLiteral("backcoloron"), &setStateColor<true>},
        {QStringLiteral("backcoloroff"), &setStateColor<false>},
        {QStringLiteral("state"), &setState},
        {QStringLiteral("enabled"), &setEnabled},
        {QStringLiteral("forecolor"), &setForeColor},
        {QStringLiteral("picture"), &setPicture<&clsUPControl::PictureUpOff, true>},
        {QStringLiteral("pictureupoff"), &setPicture<&clsUPControl::PictureUpOff, false>},
        {QStringLiteral("pictureupon"), &setPicture<&clsUPControl::PictureUpOn, false>},
        {QStringLiteral("picturedownoff"), &setPicture<&clsUPControl::PictureDownOff, false>},
        {QStringLiteral("picturedownon"), &setPicture<&clsUPControl::PictureDownOn, false>},
        {QStringLiteral("caption"), &setCaption},
        {QStringLiteral("flashpicture"), &setFlashPicture},
        {QStringLiteral("flash"), &setFlash},
        {QStringLiteral("list"), &setList},
        {QStringLiteral("listindex"), &setListIndex},
    };
    return table;
}

} // namespace

QStringList ChangeablePropertyNames() {
    QStringList names = appliers().keys();
    names.sort();
    return names;
}

PropertyChanges::PropertyChanges(PanelState& state, const ControlArrays& arrays)
    : m_state(state), m_arrays(arrays) {}

void PropertyChanges::ChangePanelProperty(const QString& payload) noexcept {
    try {
        const qsizetype assign = payload.indexOf(QLatin1Char('='));
        if (assign < 0) {
            return;
        }
        // The value ends at a second "=", if any.
        const qsizetype valueEnd = payload.indexOf(QLatin1Char('='), assign + 1);
        const QString value =
            payload.sliced(assign + 1, (valueEnd < 0 ? payload.size() : valueEnd) - assign - 1);
        const QStringView address = QStringView(payload).left(assign);
        const qsizetype dot1 = address.indexOf(QLatin1Char('.'));
        const qsizetype dot2 = dot1 < 0 ? -1 : address.indexOf(QLatin1Char('.'), dot1 + 1);
        if (dot2 < 0) {
            return;
        }
        const qsizetype dot3 = address.indexOf(QLatin1Char('.'), dot2 + 1);
        const QStringView panelName = address.left(dot1);
        if (panelName.compare(m_state.windowTag, Qt::CaseInsensitive) != 0) {
            return; // meant for another panel
        }
        const ControlRecordPtr record =
            findRecord(panelName, address.sliced(dot1 + 1, dot2 - dot1 - 1));
        if (!record) {
            return;
        }
        Change change{m_state, *record, record->typeKey(), value};
        if (change.is("tsclock") || change.is("codeccontrol")) {
            return; // these controls run themselves
        }
        const QStringView property =
            address.sliced(dot2 + 1, (dot3 < 0 ? address.size() : dot3) - dot2 - 1);
        if (const Applier apply = appliers().value(property.toString().toLower(), nullptr)) {
            apply(change);
        }
    } catch (const std::exception&) {
        // This message ends here; what it changed before the failure stays.
    }
}

ControlRecordPtr PropertyChanges::findRecord(QStringView panelName, QStringView reference) const {
    if (reference.startsWith(QLatin1Char('$'))) {
        return findIndexed(reference);
    }
    const QString name = reference.toString();
    if (const ControlRecordPtr* record = m_state.collControls.find(name)) {
        return *record;
    }
    const ControlRecordPtr* record =
        m_state.collControls.find(panelName.toString() + QLatin1Char('.') + name);
    return record ? *record : nullptr;
}

ControlRecordPtr PropertyChanges::findIndexed(QStringView reference) const {
    if (reference.count(QLatin1Char('(')) != 1) {
        return nullptr;
    }
    QString indexText = reference.sliced(reference.indexOf(QLatin1Char('(')) + 1).toString();
    indexText.remove(QLatin1Char(')'));
    const qint16 index = ToInt16(NumericPrefix(indexText));
    if (index < 1) {
        return nullptr;
    }
    const QString kind = reference.left(5).toString().toLower();
    QWidget* control = nullptr;
    if (kind == QLatin1String("$butt")) {
        control = m_arrays.butCommand.at(index);
    } else if (kind == QLatin1String("$labe")) {
        control = m_arrays.lblBox.at(index);
    } else if (kind == QLatin1String("$drop")) {
        control = m_arrays.cmbBox.at(index);
    } else if (kind == QLatin1String("$text")) {
        control = m_arrays.txtBox.at(index);
    }
    if (control == nullptr) {
        return nullptr;
    }
    const ControlRecordPtr* record = m_state.collControls.find(CP::Tag(control));
    return record ? *record : nullptr;
}

} // namespace corvane
