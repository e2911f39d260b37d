#pragma once

#include "panel/PanelState.h"

#include <QString>
#include <QStringList>
#include <QStringView>

namespace corvane {

struct ControlArrays;

// The properties a change from the Core can set (lower case), sorted; others change nothing.
QStringList ChangeablePropertyNames();

// Applies the Core's property changes (command 35) to the running panel. A payload reads
// "panel.control.property=value": the control is named ("Mic1", or "panel.Mic1" as a second
// choice) or given by its index in a control array ("$button(2)", "$label(1)", "$dropdown(3)",
// "$textbox(1)"; five characters decide). The record changes first, then its visible control.
// Messages for another panel, unknown controls, clocks and codec controls change nothing.
class PropertyChanges {
public:
    PropertyChanges(PanelState& state, const ControlArrays& arrays);

    // Never throws: a failure ends the handling of this one message, keeping what it changed.
    void ChangePanelProperty(const QString& payload) noexcept;

private:
    ControlRecordPtr findRecord(QStringView panelName, QStringView reference) const;
    ControlRecordPtr findIndexed(QStringView reference) const;

    PanelState& m_state;
    const ControlArrays& m_arrays;
};

} // namespace corvane
