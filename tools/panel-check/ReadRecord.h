#pragma once

#include "panel/DefinitionNotes.h"
#include "panel/DefinitionXml.h"

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace corvane::check {

// One element of the definition as the parser placed it (after its start tag's ">").
struct ElementPlace {
    QString key; // the element's name, lower case and trimmed as the reader compares it
    int line = 0;
    int column = 0;
};

// One entry of a control list as the reader met it.
struct ReadEntry {
    ControlRecordPtr record; // the registered record, or a copy of a dropped one
    bool registered = false;
    bool element = false; // false for a comment or other node that is not an element
    ElementPlace place;
    QList<ElementPlace> fields;           // its child elements in order
    const clsUPControl* holder = nullptr; // for a dropped entry: the record holding its name

    // The place of the element that sets one of the keys last (the one the reader keeps).
    std::optional<ElementPlace> lastField(std::initializer_list<const char*> keys) const;
};

// Collects what the client's reader meets while it reads one definition, with places.
class ReadRecord : public DefinitionNotes {
public:
    void unreadable(const DefinitionLoadFailure& failure) override;
    void parsed(const DefinitionElement& root) override;
    void notConverted(const FieldFailure& failure) override;
    void registered(const ControlRecordPtr& record, const DefinitionElement& node) override;
    void dropped(const clsUPControl& record, const DefinitionElement& node,
                 const ControlRecordPtr& holder) override;
    void overLimit(qsizetype skipped, const DefinitionElement& first) override;

    const std::optional<DefinitionLoadFailure>& unreadableFailure() const { return m_unreadable; }
    const std::optional<FieldFailure>& conversionFailure() const { return m_notConverted; }
    // The panel's root element and its keys, as the panel's own entry; its record is set only
    // when the panel's record was dropped.
    const ReadEntry& panel() const { return m_panel; }
    const QList<ReadEntry>& entries() const { return m_entries; }
    // The entry of a registered record, or nullptr.
    const ReadEntry* entryOf(const clsUPControl* record) const;
    bool panelDropped() const { return m_panelHolder != nullptr; }
    const clsUPControl* panelHolder() const { return m_panelHolder; }
    qsizetype skipped() const { return m_skipped; }
    const ElementPlace& firstSkipped() const { return m_firstSkipped; }

private:
    ReadEntry entryFor(const DefinitionElement& node) const;

    std::optional<DefinitionLoadFailure> m_unreadable;
    std::optional<FieldFailure> m_notConverted;
    ReadEntry m_panel;
    QList<ReadEntry> m_entries;
    QHash<const clsUPControl*, qsizetype> m_registered;
    const clsUPControl* m_panelHolder = nullptr;
    qsizetype m_skipped = 0;
    ElementPlace m_firstSkipped;
};

} // namespace corvane::check
