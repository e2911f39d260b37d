#include "panel/DefinitionElement.h"

#include <QHashFunctions>
#include <QXmlStreamReader>

#include <algorithm>
#include <array>
#include <deque>
#include <unordered_map>

namespace corvane {

namespace {

const QString& emptyString() {
    static const QString empty;
    return empty;
}

} // namespace

// A definition has a few dozen distinct element names among a hundred thousand elements: each
// name is kept once, found again without building a string. Most are found among the names
// met last, by their length and a few of their letters, without hashing them.
class DefinitionDocument::Names {
public:
    const Name* intern(QStringView written) {
        const Name*& recent = m_recent[slotOf(written)];
        if (recent != nullptr && recent->written == written) {
            return recent;
        }
        const auto found = m_index.find(written);
        if (found != m_index.end()) {
            recent = found->second;
            return recent;
        }
        const QString name = written.toString();
        const Name& added = m_names.emplace_back(Name{name, name.toLower().trimmed()});
        // The view looks at the kept string's characters, which stay where they are.
        m_index.emplace(QStringView(added.written), &added);
        recent = &added;
        return recent;
    }

private:
    struct Hash {
        size_t operator()(QStringView name) const { return qHash(name); }
    };

    static size_t slotOf(QStringView name) {
        if (name.isEmpty()) {
            return 0;
        }
        const size_t mixed = size_t(name.size()) * 31 + name.front().unicode() * 7 +
                             name.back().unicode() + name[name.size() / 2].unicode() * 3;
        return mixed % kRecent;
    }

    static constexpr size_t kRecent = 61;
    std::array<const Name*, kRecent> m_recent{};
    std::deque<Name> m_names;
    std::unordered_map<QStringView, const Name*, Hash> m_index;
};

DefinitionDocument::DefinitionDocument() = default;
DefinitionDocument::~DefinitionDocument() = default;

void DefinitionDocument::clear() {
    m_nodes.clear();
    m_names.reset();
    m_source = QStringView();
}

DefinitionElement DefinitionDocument::root() const {
    // Nothing follows the root: its siblings end where it does.
    return m_nodes.empty() ? DefinitionElement() : DefinitionElement(this, 0, m_nodes.front().end);
}

bool DefinitionDocument::setContent(QStringView xml, DefinitionParseError* error) {
    clear();
    m_names = std::make_unique<Names>();
    m_source = xml;
    // About one node a tag: an element has two tags and one run of text.
    m_nodes.reserve(size_t(xml.count(u'<')));
    QXmlStreamReader reader(xml.toString());
    reader.setNamespaceProcessing(false);
    // The parser counts its places from after a byte-order mark, which it passes over.
    const qsizetype shift = xml.startsWith(QChar(0xfeff)) ? 1 : 0;
    std::vector<qsizetype> open; // the elements whose end tag is still to come
    int documentTypes = 0;
    QString failure;
    if (xml.size() > kMaxSize) {
        failure = QStringLiteral("more than %1 characters").arg(kMaxSize);
    }

    const auto add = [&](const Name* name, QString text) {
        Node node;
        node.name = name;
        node.text = std::move(text);
        node.end = qint32(m_nodes.size()) + 1;
        node.line = int(reader.lineNumber());
        node.column = int(reader.columnNumber());
        m_nodes.push_back(std::move(node));
    };

    while (failure.isEmpty() && !reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            open.push_back(qsizetype(m_nodes.size()));
            add(m_names->intern(reader.qualifiedName()), QString());
            // The parser stands just after the start tag's ">"; its "<" is the last one before,
            // as no "<" may stand within a tag.
            const qsizetype tagEnd = shift + reader.characterOffset();
            m_nodes.back().sourceBegin =
                qint32(std::max<qsizetype>(0, xml.lastIndexOf(u'<', tagEnd - 1)));
            break;
        }
        case QXmlStreamReader::EndElement: {
            Node& element = m_nodes[size_t(open.back())];
            element.end = qint32(m_nodes.size());
            element.sourceEnd = qint32(shift + reader.characterOffset());
            open.pop_back();
            break;
        }
        case QXmlStreamReader::Characters:
            // Blanks between elements are layout, not content: a run of text that is nothing
            // else is not kept, as the DOM of the same parser drops it. Character data is kept
            // as it is.
            if (!open.empty() && (reader.isCDATA() ||
                                  (!reader.isWhitespace() && !reader.text().trimmed().isEmpty()))) {
                add(nullptr, reader.text().toString());
            }
            break;
        case QXmlStreamReader::Comment:
        case QXmlStreamReader::ProcessingInstruction:
        case QXmlStreamReader::EntityReference:
            if (!open.empty()) {
                add(nullptr, QString());
            }
            break;
        case QXmlStreamReader::DTD:
            // The stream reader lets a second document type pass; a definition has one at most.
            if (++documentTypes > 1) {
                failure = QStringLiteral("Multiple DTD sections are not allowed");
            }
            break;
        default:
            break;
        }
    }
    if (reader.hasError()) {
        failure = reader.errorString();
    }
    if (failure.isEmpty()) {
        return true;
    }
    if (error != nullptr) {
        *error =
            DefinitionParseError{failure, int(reader.lineNumber()), int(reader.columnNumber())};
    }
    clear();
    return false;
}

bool DefinitionElement::isElement() const {
    return m_document != nullptr && m_document->node(m_index).name != nullptr;
}

const QString& DefinitionElement::name() const {
    return isElement() ? m_document->node(m_index).name->written : emptyString();
}

const QString& DefinitionElement::key() const {
    return isElement() ? m_document->node(m_index).name->key : emptyString();
}

QString DefinitionElement::text() const {
    if (m_document == nullptr) {
        return QString();
    }
    const auto& node = m_document->node(m_index);
    if (node.name == nullptr) {
        return node.text;
    }
    const qsizetype first = m_index + 1;
    if (node.end == first + 1) {
        return m_document->node(first).text; // the usual field: one run of text, shared
    }
    QString text;
    for (qsizetype i = first; i < node.end; ++i) {
        text += m_document->node(i).text;
    }
    return text;
}

int DefinitionElement::line() const {
    return m_document != nullptr ? m_document->node(m_index).line : 0;
}

int DefinitionElement::column() const {
    return m_document != nullptr ? m_document->node(m_index).column : 0;
}

QStringView DefinitionElement::source() const {
    if (m_document == nullptr) {
        return QStringView();
    }
    const auto& node = m_document->node(m_index);
    const QStringView text = m_document->m_source;
    const qsizetype begin = std::min<qsizetype>(node.sourceBegin, text.size());
    return text.mid(begin, std::clamp<qsizetype>(node.sourceEnd, begin, text.size()) - begin);
}

DefinitionElement DefinitionElement::firstChild() const {
    const qsizetype end = m_document != nullptr ? m_document->node(m_index).end : 0;
    return end > m_index + 1 ? DefinitionElement(m_document, m_index + 1, end)
                             : DefinitionElement();
}

DefinitionElement DefinitionElement::nextSibling() const {
    if (m_document == nullptr) {
        return DefinitionElement();
    }
    const qsizetype next = m_document->node(m_index).end;
    return next < m_parentEnd ? DefinitionElement(m_document, next, m_parentEnd)
                              : DefinitionElement();
}

DefinitionElement DefinitionElement::firstChildElement() const {
    DefinitionElement child = firstChild();
    return child.isNull() || child.isElement() ? child : child.nextSiblingElement();
}

DefinitionElement DefinitionElement::nextSiblingElement() const {
    DefinitionElement sibling = nextSibling();
    while (!sibling.isNull() && !sibling.isElement()) {
        sibling = sibling.nextSibling();
    }
    return sibling;
}

} // namespace corvane
