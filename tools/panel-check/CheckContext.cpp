#include "CheckContext.h"

#include "panel/ControlTypes.h"
#include "panel/FormBuilder.h"

#include <algorithm>
#include <tuple>

namespace corvane::check {

QString Describe(const clsUPControl& record) {
    const QString known = record.typeKey();
    const bool isKnown = FormBuilder::BuildsType(known) || IsKeptUnshownType(known);
    const QString type = isKnown ? known : QStringLiteral("control");
    if (record.Name.isEmpty()) {
        return type + QStringLiteral(" without a name");
    }
    return QStringLiteral("%1 \"%2\"").arg(type, record.Name);
}

CheckContext::CheckContext(const QString& file, const QString& text)
    : m_file(file), m_places(text) {}

const ReadEntry& CheckContext::entryOf(const clsUPControl* record) const {
    const ReadEntry* entry = read.entryOf(record);
    return entry != nullptr ? *entry : read.panel();
}

void CheckContext::report(Severity severity, const ReadEntry& entry,
                          std::initializer_list<const char*> fieldKeys, const QString& message) {
    const ElementPlace place = entry.lastField(fieldKeys).value_or(entry.place);
    const Place start = m_places.tagStart(place.line, place.column);
    const bool ofControl = &entry != &read.panel() && entry.record;
    reportAt(severity, start.line, start.column, ofControl ? entry.record->Name : QString(),
             message);
}

void CheckContext::reportAt(Severity severity, int line, int column, const QString& control,
                            const QString& message) {
    m_problems.append(
        PanelProblem{m_file, std::max(line, 1), std::max(column, 1), severity, control, message});
}

QList<PanelProblem> CheckContext::takeSortedProblems() {
    QList<PanelProblem> problems = std::move(m_problems);
    m_problems.clear();
    std::stable_sort(problems.begin(), problems.end(), [](const auto& a, const auto& b) {
        return std::tie(a.line, a.column) < std::tie(b.line, b.column);
    });
    return problems;
}

} // namespace corvane::check
