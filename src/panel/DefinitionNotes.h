#pragma once

#include "panel/DefinitionElement.h"
#include "panel/PanelState.h"

#include <QString>

namespace corvane {

struct DefinitionLoadFailure;

// A value of a definition that could not be converted: reading stopped there.
struct FieldFailure {
    bool panelKey = false; // a key of the panel itself rather than of a control
    QString controlName;   // the control's "name" and "type" as written, when a control's
    QString controlType;
    QString key; // the field's key in lower case
    QString value;
    QString reason; // "left 40000 is beyond 32767 twips"
    int line = 0;   // of the field's element in the definition; 0 when unknown
    int column = 0;
};

// What reading a panel definition meets, told to whoever explains it to the panel's author:
// the client's log, the panel checker. Each call happens where the reader meets the thing, in
// document order. Every call has a default that ignores it.
class DefinitionNotes {
public:
    virtual ~DefinitionNotes() = default;

    // A new delivery begins.
    virtual void startDefinition() {}
    // Nothing of the definition could be read: it is beyond the limits or not well-formed.
    virtual void unreadable(const DefinitionLoadFailure& /*failure*/) {}
    // The definition is parsed; the panel's keys and control lists are the children of its root.
    // Nodes given to the notes last as long as the call.
    virtual void parsed(const DefinitionElement& /*root*/) {}
    // A value could not be converted: nothing is built from this delivery.
    virtual void notConverted(const FieldFailure& /*failure*/) {}
    // A node of a control list was read into a record and registered.
    virtual void registered(const ControlRecordPtr& /*record*/, const DefinitionElement& /*node*/) {
    }
    // A record was dropped because its name (in any letter case) is held by another record. The
    // node is null for the panel's own record.
    virtual void dropped(const clsUPControl& /*record*/, const DefinitionElement& /*node*/,
                         const ControlRecordPtr& /*holder*/) {}
    // Control-list entries beyond the limit of one delivery were skipped, the first at `first`.
    virtual void overLimit(qsizetype /*skipped*/, const DefinitionElement& /*first*/) {}
};

} // namespace corvane
