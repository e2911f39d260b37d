#pragma once

#include <QString>
#include <QStringView>

#include <memory>
#include <vector>

namespace corvane {

class DefinitionDocument;

// One node of a parsed panel definition: an element, or other content that stands among
// elements (text, a comment, a processing instruction), which a control list counts as an entry
// of its own. A light handle into its document, which must outlive it; a default one is null.
class DefinitionElement {
public:
    DefinitionElement() = default;

    bool isNull() const { return m_document == nullptr; }
    bool isElement() const;

    // The element's name as written, and as the reader compares it: in lower case and trimmed.
    // Both empty for other content.
    const QString& name() const;
    const QString& key() const;

    // All the text within, character data included and entities resolved. Runs of text that
    // are nothing but blanks are left out, wherever they stand.
    QString text() const;

    // Where the parser stood just after the node (for an element: after its start tag's ">"),
    // 1-based; 0 for a null node.
    int line() const;
    int column() const;

    // An element's own text in the definition, from the "<" of its start tag to the ">" of its
    // end tag, ready to be read again on its own. Empty for other content.
    QStringView source() const;

    DefinitionElement firstChild() const;
    DefinitionElement nextSibling() const;
    DefinitionElement firstChildElement() const;
    DefinitionElement nextSiblingElement() const;

private:
    friend class DefinitionDocument;
    DefinitionElement(const DefinitionDocument* document, qsizetype index, qsizetype parentEnd)
        : m_document(document), m_index(index), m_parentEnd(parentEnd) {}

    const DefinitionDocument* m_document = nullptr;
    qsizetype m_index = 0;
    qsizetype m_parentEnd = 0; // where the parent's descendants end: no sibling lies beyond
};

// Why a text could not be parsed, as the XML parser says it, and where (1-based).
struct DefinitionParseError {
    QString message;
    int line = 0;
    int column = 0;
};

// A panel definition parsed in one pass into a compact tree of its root element: every node in
// one array in document order, element names shared. It keeps a view of the text it was parsed
// from, which must outlive it.
class DefinitionDocument {
public:
    DefinitionDocument();
    ~DefinitionDocument();
    DefinitionDocument(const DefinitionDocument&) = delete;
    DefinitionDocument& operator=(const DefinitionDocument&) = delete;

    // Parses well-formed XML; anything else leaves the document empty, with the parser's
    // error when asked for. Names are taken as written: prefixes are part of them.
    bool setContent(QStringView xml, DefinitionParseError* error = nullptr);
    void clear();

    // Null while empty.
    DefinitionElement root() const;

private:
    friend class DefinitionElement;
    class Names;

    // An element's name as written and as compared; one for all elements of that name.
    struct Name {
        QString written;
        QString key;
    };

    // Places and indexes in 32 bits, which keeps the array small: a text beyond them is not
    // parsed (a definition is far smaller, see DefinitionXml.h).
    static constexpr qsizetype kMaxSize = 0x7fffffff;

    struct Node {
        const Name* name = nullptr; // null for other content
        QString text;               // of a run of text; empty otherwise
        qint32 end = 0;             // the index after its last descendant
        qint32 sourceBegin = 0;     // of an element
        qint32 sourceEnd = 0;
        qint32 line = 0;
        qint32 column = 0;
    };

    const Node& node(qsizetype index) const { return m_nodes[size_t(index)]; }

    std::vector<Node> m_nodes;
    std::unique_ptr<Names> m_names;
    QStringView m_source;
};

} // namespace corvane
