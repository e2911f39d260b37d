#pragma once

#include <QString>

#include <optional>

namespace corvane {

// The two fields of a panel-definition message that the panel uses.
struct PanelPayload {
    QString title;      // the window caption
    QString definition; // the XML panel definition
};

// Splits a panel-definition payload at the field separator: the first field is the title, the
// second the definition, further fields are ignored. Fewer than two fields: nothing.
std::optional<PanelPayload> SplitPanelPayload(const QString& payload);

} // namespace corvane
