#pragma once

#include <QHash>
#include <QString>
#include <QStringView>

#include <list>
#include <utility>

namespace corvane {

// An ordered collection keyed without regard to letter case. Entries keep the order in which
// they were added; removing and adding a key again moves it to the end. Lookups are hashed, so
// panels with thousands of controls cost nothing per lookup. Adding a key that is present
// fails and leaves the old entry, as the panel's registration rules expect.
template <typename Value> class KeyedCollection {
public:
    struct Entry {
        QString key; // as added, case kept
        Value value;
    };
    using const_iterator = typename std::list<Entry>::const_iterator;
    using iterator = typename std::list<Entry>::iterator;

    // Adds the entry at the end; false (and no change) when the key is already present.
    bool add(const QString& key, Value value) {
        // One lookup: a key not yet present gets a new slot, filled here; panels register
        // thousands of controls.
        const qsizetype before = m_index.size();
        iterator& slot = m_index[fold(key)];
        if (m_index.size() == before) {
            return false;
        }
        m_entries.push_back(Entry{key, std::move(value)});
        slot = std::prev(m_entries.end());
        return true;
    }

    // Removes the entry; false when the key is not present.
    bool remove(const QString& key) {
        const auto found = m_index.find(fold(key));
        if (found == m_index.end()) {
            return false;
        }
        m_entries.erase(found.value());
        m_index.erase(found);
        return true;
    }

    bool contains(const QString& key) const { return m_index.contains(fold(key)); }

    // The value under the key, or nullptr when it is not there.
    Value* find(const QString& key) {
        const auto found = m_index.find(fold(key));
        return found == m_index.end() ? nullptr : &found.value()->value;
    }
    const Value* find(const QString& key) const {
        const auto found = m_index.constFind(fold(key));
        return found == m_index.cend() ? nullptr : &found.value()->value;
    }
    // For a key cut from a longer text, such as a placeholder in a command: folded in one copy.
    const Value* find(QStringView key) const {
        const auto found = m_index.constFind(key.toString().toCaseFolded());
        return found == m_index.cend() ? nullptr : &found.value()->value;
    }

    qsizetype size() const { return static_cast<qsizetype>(m_entries.size()); }
    bool isEmpty() const { return m_entries.empty(); }
    void clear() {
        m_entries.clear();
        m_index.clear();
    }

    iterator begin() { return m_entries.begin(); }
    iterator end() { return m_entries.end(); }
    const_iterator begin() const { return m_entries.begin(); }
    const_iterator end() const { return m_entries.end(); }

private:
    static QString fold(const QString& key) { return key.toCaseFolded(); }

    std::list<Entry> m_entries;
    QHash<QString, iterator> m_index;
};

} // namespace corvane
