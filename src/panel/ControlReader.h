#pragma once

#include "panel/DefinitionElement.h"
#include "panel/clsUPControl.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace corvane {

// Reads one control element of a panel definition (its whole XML text) into a new record.
// Text that is not well-formed gives a record with the defaults. Nothing is returned when a
// value cannot be converted: the caller must then stop reading the definition.
std::optional<clsUPControl> GetControl(const QString& xml);

struct FieldFailure;

// The same for a child node of a control list in an already parsed definition, without
// writing it out and parsing it again. A node that is not an element reads as text that is
// not well-formed would: a record with the defaults. When nothing is returned, the failure (if
// asked for) says which field of which control could not be converted, and why.
std::optional<clsUPControl> ReadControlNode(const DefinitionElement& node,
                                            FieldFailure* failure = nullptr);

// The keys of a control element that the reader knows (lower case), in the order it tests them.
QStringList ControlFieldKeys();

} // namespace corvane
