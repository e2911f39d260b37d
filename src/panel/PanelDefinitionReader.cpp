#include "panel/PanelDefinitionReader.h"

#include "panel/ControlReader.h"
#include "panel/DefinitionNotes.h"
#include "panel/DefinitionXml.h"
#include "panel/FieldConversion.h"
#include "panel/PanelLimits.h"
#include "panel/PanelState.h"
#include "runtime/ColorRules.h"
#include "runtime/PicturePaths.h"
#include "support/LogCategories.h"
#include "support/NumberRules.h"

#include <QHash>

#include <algorithm>
#include <exception>
#include <memory>

namespace corvane {

namespace {

using PanelKeyRule = void (*)(clsUPControl&, PanelState&, const QString&);

struct PanelKeyEntry {
    const char* key;
    PanelKeyRule rule;
    NumberField number = NumberField::None; // how a value can fail to convert
};

// The window's own keys. "controllist" is not among them: it is read where it stands.
const PanelKeyEntry kPanelKeys[] = {
    {"name", [](clsUPControl& f, PanelState&, const QString& v) { f.Name = v; }},
    {"width",
     [](clsUPControl& f, PanelState&, const QString& v) { f.Width = ToInt16(NumericPrefix(v)); },
     NumberField::Twips16},
    {"height",
     [](clsUPControl& f, PanelState&, const QString& v) { f.Height = ToInt16(NumericPrefix(v)); },
     NumberField::Twips16},
    {"backcolor",
     [](clsUPControl& f, PanelState&, const QString& v) { f.BackColor = DeriveColor(v); }},
    {"backcoloron", [](clsUPControl& f, PanelState&,
                       const QString& v) { f.BackColorOn = QString::number(DeriveColor(v)); }},
    {"backcoloroff", [](clsUPControl& f, PanelState&,
                        const QString& v) { f.BackColorOff = QString::number(DeriveColor(v)); }},
    {"buttonstate", [](clsUPControl& f, PanelState&, const QString& v) { f.strState = v; }},
    {"forecolor",
     [](clsUPControl& f, PanelState&, const QString& v) { f.ForeColor = DeriveColor(v); }},
    {"picture", [](clsUPControl& f, PanelState&, const QString& v) { f.PictureUpOff = v; }},
    {"onload", [](clsUPControl& f, PanelState&, const QString& v) { f.OnLoad = v; }},
    {"enabled",
     [](clsUPControl& f, PanelState&, const QString& v) { f.Enabled = !ReadsAsBooleanFalse(v); }},
    {"defaultpicturepath",
     [](clsUPControl&, PanelState& s, const QString& v) {
         s.strDefaultPicturePath = NormalizePictureFolder(v);
     }},
    {"caption", [](clsUPControl& f, PanelState&, const QString& v) { f.Caption = v; }},
};

const QHash<QString, const PanelKeyEntry*>& panelKeys() {
    static const QHash<QString, const PanelKeyEntry*> keys = [] {
        QHash<QString, const PanelKeyEntry*> index;
        for (const PanelKeyEntry& entry : kPanelKeys) {
            index.insert(QString::fromLatin1(entry.key), &entry);
        }
        return index;
    }();
    return keys;
}

bool isMeterType(const QString& type) {
    return type == QLatin1String("meter") || type == QLatin1String("meterfader");
}

} // namespace

QStringList PanelKeyNames() {
    QStringList keys;
    for (const PanelKeyEntry& entry : kPanelKeys) {
        keys.append(QString::fromLatin1(entry.key));
    }
    keys.append(QStringLiteral("controllist"));
    return keys;
}

PanelDefinitionReader::PanelDefinitionReader(PanelState& state, DefinitionNotes* notes)
    : m_state(state), m_notes(notes != nullptr ? *notes : m_log) {}

bool PanelDefinitionReader::AnalyzeXML(QStringView definition) {
    m_controlsRead = 0;
    m_controlsSkipped = 0;
    m_firstSkipped = DefinitionElement();
    m_notes.startDefinition();
    auto form = std::make_shared<clsUPControl>();
    form->ControlType = QStringLiteral("Form");
    form->Enabled = true;
    bool readable = false;
    bool converted = true;
    try {
        DefinitionDocument document;
        DefinitionLoadFailure failure;
        readable = LoadDefinitionDocument(definition, document, &failure);
        if (!readable) {
            m_notes.unreadable(failure);
        } else if (!readDocument(document, *form)) {
            converted = false;
        } else if (m_controlsSkipped > 0) {
            // Told while the parsed definition is at hand: it goes with this scope.
            m_notes.overLimit(m_controlsSkipped, m_firstSkipped);
        }
    } catch (const std::exception&) {
        // A conversion error, or memory running out: this delivery is not built.
        converted = false;
    }
    m_firstSkipped = DefinitionElement(); // it looked into the parsed definition, now gone
    if (!converted) {
        return false;
    }
    if (!readable && !m_state.windowTag.isEmpty()) {
        // Nothing of it could be read. Its empty form record would rename the panel that is up
        // and blank its window, and the Core could no longer address it: the panel stays.
        qCWarning(lcPanel) << "A panel definition that cannot be read leaves panel"
                           << m_state.windowTag << "as it is";
        return true;
    }
    const QString key = form->Name.toLower();
    if (!m_state.collControls.add(key, form)) {
        m_notes.dropped(*form, DefinitionElement(), *m_state.collControls.find(key));
    }
    return true;
}

bool PanelDefinitionReader::readDocument(const DefinitionDocument& document, clsUPControl& form) {
    const DefinitionElement root = document.root();
    m_notes.parsed(root);
    // Text and comments among the panel's keys carry nothing.
    for (DefinitionElement child = root.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement()) {
        if (child.key() == QLatin1String("controllist")) {
            if (!readControlList(child)) {
                return false;
            }
        } else {
            readPanelKey(child, form);
        }
    }
    return true;
}

void PanelDefinitionReader::readPanelKey(const DefinitionElement& node, clsUPControl& form) {
    const PanelKeyEntry* entry = panelKeys().value(node.key(), nullptr);
    if (entry == nullptr) {
        return;
    }
    const QString value = node.text();
    try {
        entry->rule(form, m_state, value);
    } catch (const ConversionError&) {
        FieldFailure failure;
        failure.panelKey = true;
        failure.key = QString::fromLatin1(entry->key);
        failure.value = value;
        failure.reason = ExplainConversionFailure(failure.key, value, entry->number);
        failure.line = node.line();
        failure.column = node.column();
        m_notes.notConverted(failure);
        throw;
    }
}

// The list is read where it stands in the parsed definition: its own text is part of a
// well-formed document, so it needs no second parse of its own.
bool PanelDefinitionReader::readControlList(const DefinitionElement& list) {
    // Every node counts as an entry, comments and stray text included.
    for (DefinitionElement child = list.firstChild(); !child.isNull();
         child = child.nextSibling()) {
        if (m_controlsRead >= PanelLimits::kMaxControlsPerDelivery) {
            if (m_controlsSkipped++ == 0) {
                m_firstSkipped = child;
            }
            continue;
        }
        ++m_controlsRead;
        if (!registerControl(child)) {
            return false;
        }
    }
    return true;
}

bool PanelDefinitionReader::registerControl(const DefinitionElement& node) {
    FieldFailure failure;
    std::optional<clsUPControl> read = ReadControlNode(node, &failure);
    if (!read) {
        m_notes.notConverted(failure);
        return false;
    }
    auto record = std::make_shared<clsUPControl>(std::move(*read));
    const QString type = record->typeKey();
    if (type == QLatin1String("tsclock") || type == QLatin1String("codeccontrol")) {
        // Its own text, as the definition has it: the component reads the element again.
        record->strIngestXML = node.source().toString();
    }
    if (type == QLatin1String("tsclock")) {
        for (auto setting = node.firstChildElement(); !setting.isNull();
             setting = setting.nextSiblingElement()) {
            record->ingestSettings.append({setting.key(), setting.text()});
        }
    }
    const QString key = record->Name.toLower();
    if (m_state.collControls.add(key, record)) {
        m_notes.registered(record, node);
    } else {
        m_notes.dropped(*record, node, *m_state.collControls.find(key));
    }
    if (isMeterType(type)) {
        addToMeterPoint(*record); // also for a record dropped as a duplicate
    }
    return true;
}

void PanelDefinitionReader::addToMeterPoint(const clsUPControl& record) {
    const MeterPoint point = record.meterPoint();
    const QString key = point.key();
    // Every delivery of the panel registers its meters again; the names already listed stay
    // listed once, or each reading would update the same control once per delivery.
    const QString listed = (key + QLatin1Char('\n') + record.Name).toCaseFolded();
    if (m_state.meterPointerNames.contains(listed)) {
        return;
    }
    m_state.meterPointerNames.insert(listed);
    auto& points = m_state.collMeterPointers;
    MeterPointControls* controls = points.find(key);
    if (controls == nullptr) {
        points.add(key, {point, record.Name});
        return;
    }
    // Moved out and appended in place, so that many meters on one point cost linear time;
    // removing and adding again moves the entry to the end of the order.
    MeterPointControls joined = std::move(*controls);
    joined.names += QLatin1String("||");
    joined.names += record.Name;
    points.remove(key);
    points.add(key, std::move(joined));
}

} // namespace corvane
