#pragma once

#include "PanelProblem.h"
#include "ReadRecord.h"
#include "SourcePlaces.h"
#include "panel/PanelState.h"

#include <QList>
#include <QSet>
#include <QString>

#include <optional>

namespace corvane::check {

// One definition being checked: the panel state the client's reader made of it, what the reader
// met on the way, and the problems found so far.
class CheckContext {
public:
    CheckContext(const QString& file, const QString& text);

    PanelState state;
    ReadRecord read;
    // The records that get a control when the panel is built.
    QSet<const clsUPControl*> built;
    // The panel's own record, when it was registered.
    const clsUPControl* form = nullptr;

    bool isBuilt(const clsUPControl* record) const { return built.contains(record); }
    // The reader's entry of a control, or the panel's own entry for the panel's record.
    const ReadEntry& entryOf(const clsUPControl* record) const;

    // Adds a problem at the field (the last of the keys that the entry has), or at the entry
    // itself. The control is named after the entry's record, unless it is the panel's.
    void report(Severity severity, const ReadEntry& entry,
                std::initializer_list<const char*> fieldKeys, const QString& message);
    void reportAt(Severity severity, int line, int column, const QString& control,
                  const QString& message);

    const QList<PanelProblem>& problems() const { return m_problems; }
    // The problems in the order of their places in the file.
    QList<PanelProblem> takeSortedProblems();

private:
    QString m_file;
    SourcePlaces m_places;
    QList<PanelProblem> m_problems;
};

// How a control is named in a message: `button "Mic1"`, `control "X"` when its type is not one
// the client knows, `label without a name`.
QString Describe(const clsUPControl& record);

} // namespace corvane::check
