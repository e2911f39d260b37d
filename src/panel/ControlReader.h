#pragma once

#include "panel/clsUPControl.h"

#include <QString>

#include <optional>

class QDomNode;

namespace corvane {

// Reads one control element of a panel definition (its whole XML text) into a new record.
// Text that is not well-formed gives a record with the defaults. Nothing is returned when a
// value cannot be converted: the caller must then stop reading the definition.
std::optional<clsUPControl> GetControl(const QString& xml);

// The same for a child node of a control list in an already parsed definition, without
// writing it out and parsing it again. A node that is not an element reads as text that is
// not well-formed would: a record with the defaults.
std::optional<clsUPControl> ReadControlNode(const QDomNode& node);

} // namespace corvane
