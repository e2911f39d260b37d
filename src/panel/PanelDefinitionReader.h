#pragma once

#include "panel/DefinitionElement.h"
#include "panel/PanelReadLog.h"

#include <QString>
#include <QStringList>
#include <QStringView>

namespace corvane {

class DefinitionNotes;
struct clsUPControl;
struct PanelState;

// The panel's own keys that the reader knows (lower case), "controllist" last.
QStringList PanelKeyNames();

// Reads a panel definition into the panel state: the window's own keys into the form record,
// every control of every control list into a registered record, then the form record itself.
// A second definition merges into what is there: known names keep their records. Control-list
// entries beyond PanelLimits::kMaxControlsPerDelivery are skipped. What reading meets (a value
// that cannot be converted, a control dropped or skipped) goes to the notes: by default the
// log, under corvane.panel.
class PanelDefinitionReader {
public:
    explicit PanelDefinitionReader(PanelState& state, DefinitionNotes* notes = nullptr);
    PanelDefinitionReader(const PanelDefinitionReader&) = delete;
    PanelDefinitionReader& operator=(const PanelDefinitionReader&) = delete;

    // Reads the definition and registers its records. A definition that is not well-formed (or
    // beyond the limits of DefinitionXml.h) registers the form record only, and nothing at all
    // while a named panel is up (the window's Tag is set). Returns false when
    // a value could not be converted: reading stopped there, the records registered before
    // stay, the form record is not added, and the panel must not be built from this delivery.
    bool AnalyzeXML(QStringView definition);

private:
    bool readDocument(const DefinitionDocument& document, clsUPControl& form);
    void readPanelKey(const DefinitionElement& node, clsUPControl& form);
    bool readControlList(const DefinitionElement& list);
    bool registerControl(const DefinitionElement& node);
    void addToMeterPoint(const clsUPControl& record);

    PanelState& m_state;
    PanelReadLog m_log;
    DefinitionNotes& m_notes;
    // Control-list entries read and skipped in this delivery (see PanelLimits).
    qsizetype m_controlsRead = 0;
    qsizetype m_controlsSkipped = 0;
    // Into the parsed definition, which is gone once the delivery is read.
    DefinitionElement m_firstSkipped;
};

} // namespace corvane
