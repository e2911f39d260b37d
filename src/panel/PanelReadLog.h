#pragma once

#include "panel/DefinitionNotes.h"

#include <QHash>

namespace corvane {

// Logs, under corvane.panel, why a delivered definition built nothing or lost a control, so that
// an engineer at the desk can see why a panel is empty: which field of which control, at which
// line. A name held since an earlier delivery is no news (a delivery merges into the panel), so
// only names taken within the same delivery are reported. Lines about single controls stop
// after a few dozen per delivery.
class PanelReadLog : public DefinitionNotes {
public:
    static constexpr int kMaxControlLines = 25;

    void startDefinition() override;
    void unreadable(const DefinitionLoadFailure& failure) override;
    void notConverted(const FieldFailure& failure) override;
    void registered(const ControlRecordPtr& record, const DefinitionElement& node) override;
    void dropped(const clsUPControl& record, const DefinitionElement& node,
                 const ControlRecordPtr& holder) override;
    void overLimit(qsizetype skipped, const DefinitionElement& first) override;

private:
    void controlLine(const QString& text);

    // The records registered in this delivery, with their lines.
    QHash<const clsUPControl*, int> m_lines;
    int m_controlLines = 0;
};

} // namespace corvane
