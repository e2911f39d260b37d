#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace corvane {

// The two fields of a panel-definition message that the panel uses.
struct PanelPayload {
    QString title;      // the window caption
    QString definition; // the XML panel definition
};

// The same two fields as views into the payload, valid as long as the payload is.
struct PanelPayloadView {
    QStringView title;
    QStringView definition;
};

// Splits a panel-definition payload at the field separator: the first field is the title, the
// second the definition, further fields are ignored. Fewer than two fields: nothing. A
// definition beyond the limit of a panel (DefinitionLimits) comes cut one character past it.
std::optional<PanelPayload> SplitPanelPayload(const QString& payload);
// The same split without copying: a definition of many megabytes is copied only by whoever
// reads it.
std::optional<PanelPayloadView> SplitPanelPayloadView(QStringView payload);

} // namespace corvane
