#include "ReadRecord.h"

namespace corvane::check {

namespace {

ElementPlace placeOf(const DefinitionElement& node) {
    return ElementPlace{node.key(), node.line(), node.column()};
}

} // namespace

std::optional<ElementPlace> ReadEntry::lastField(std::initializer_list<const char*> keys) const {
    for (auto field = fields.crbegin(); field != fields.crend(); ++field) {
        for (const char* key : keys) {
            if (field->key == QLatin1String(key)) {
                return *field;
            }
        }
    }
    return std::nullopt;
}

ReadEntry ReadRecord::entryFor(const DefinitionElement& node) const {
    ReadEntry entry;
    entry.element = node.isElement();
    entry.place = placeOf(node);
    for (DefinitionElement child = node.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement()) {
        entry.fields.append(placeOf(child));
    }
    return entry;
}

void ReadRecord::unreadable(const DefinitionLoadFailure& failure) {
    m_unreadable = failure;
}

void ReadRecord::parsed(const DefinitionElement& root) {
    m_panel = entryFor(root);
}

void ReadRecord::notConverted(const FieldFailure& failure) {
    m_notConverted = failure;
}

void ReadRecord::registered(const ControlRecordPtr& record, const DefinitionElement& node) {
    ReadEntry entry = entryFor(node);
    entry.record = record;
    entry.registered = true;
    m_registered.insert(record.get(), m_entries.size());
    m_entries.append(std::move(entry));
}

void ReadRecord::dropped(const clsUPControl& record, const DefinitionElement& node,
                         const ControlRecordPtr& holder) {
    if (node.isNull()) {
        m_panelHolder = holder.get();
        m_panel.record = std::make_shared<clsUPControl>(record);
        return;
    }
    ReadEntry entry = entryFor(node);
    entry.record = std::make_shared<clsUPControl>(record);
    entry.holder = holder.get();
    m_entries.append(std::move(entry));
}

void ReadRecord::overLimit(qsizetype skipped, const DefinitionElement& first) {
    m_skipped = skipped;
    m_firstSkipped = placeOf(first);
}

const ReadEntry* ReadRecord::entryOf(const clsUPControl* record) const {
    const auto found = m_registered.constFind(record);
    return found == m_registered.cend() ? nullptr : &m_entries[*found];
}

} // namespace corvane::check
