#include "panel/DefinitionXml.h"

#include <QDomDocument>

namespace corvane {

namespace {

// Scans the markup of a definition once, from left to right. Unterminated constructs end the
// scan: the parser reports them as not well-formed.
class MarkupScanner {
public:
    explicit MarkupScanner(QStringView xml) : m_xml(xml) {}

    bool withinLimits() {
        qsizetype markup = 0;
        while ((m_pos = m_xml.indexOf(QLatin1Char('<'), m_pos)) >= 0) {
            if (++markup > DefinitionLimits::kMaxMarkup) {
                return false;
            }
            const QStringView rest = m_xml.mid(m_pos);
            bool ok = true;
            if (rest.startsWith(QLatin1String("<!--"))) {
                skipPast(QLatin1String("-->"), 4);
            } else if (rest.startsWith(QLatin1String("<![CDATA["))) {
                skipPast(QLatin1String("]]>"), 9);
            } else if (rest.startsWith(QLatin1String("<?"))) {
                skipPast(QLatin1String("?>"), 2);
            } else if (rest.startsWith(QLatin1String("<!"))) {
                ok = declaration();
            } else if (rest.startsWith(QLatin1String("</"))) {
                --m_depth;
                skipPast(QLatin1String(">"), 2);
            } else {
                ok = startTag();
            }
            if (!ok) {
                return false;
            }
            if (m_pos < 0) {
                return true;
            }
        }
        return true;
    }

private:
    void skipPast(QLatin1String terminator, qsizetype from) {
        const qsizetype found = m_xml.indexOf(terminator, m_pos + from);
        m_pos = found < 0 ? -1 : found + terminator.size();
    }

    // A document type declaration; one with an internal subset ("[") is refused, since that is
    // where entities are declared. Ends at the first ">" outside quotes.
    bool declaration() {
        QChar quote;
        for (qsizetype i = m_pos + 2; i < m_xml.size(); ++i) {
            const QChar c = m_xml[i];
            if (!quote.isNull()) {
                if (c == quote) {
                    quote = QChar();
                }
            } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                quote = c;
            } else if (c == QLatin1Char('[')) {
                return false;
            } else if (c == QLatin1Char('>')) {
                m_pos = i + 1;
                return true;
            }
        }
        m_pos = -1;
        return true;
    }

    // A start tag up to its ">" outside quoted values: counts its attributes (by their "=")
    // and, unless it closes itself, one level of nesting.
    bool startTag() {
        QChar quote;
        int attributes = 0;
        for (qsizetype i = m_pos + 1; i < m_xml.size(); ++i) {
            const QChar c = m_xml[i];
            if (!quote.isNull()) {
                if (c == quote) {
                    quote = QChar();
                }
            } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                quote = c;
            } else if (c == QLatin1Char('=')) {
                if (++attributes > DefinitionLimits::kMaxAttributesPerTag) {
                    return false;
                }
            } else if (c == QLatin1Char('>')) {
                if (m_xml[i - 1] != QLatin1Char('/') && ++m_depth > DefinitionLimits::kMaxDepth) {
                    return false;
                }
                m_pos = i + 1;
                return true;
            }
        }
        m_pos = -1;
        return true;
    }

    QStringView m_xml;
    qsizetype m_pos = 0;
    int m_depth = 0;
};

} // namespace

bool IsWithinDefinitionLimits(QStringView xml) {
    if (xml.size() > DefinitionLimits::kMaxCharacters) {
        return false;
    }
    return MarkupScanner(xml).withinLimits();
}

bool LoadDefinitionDocument(QStringView xml, QDomDocument& document) {
    document.clear();
    if (!IsWithinDefinitionLimits(xml)) {
        return false;
    }
    if (!document.setContent(xml.toString())) {
        document.clear();
        return false;
    }
    return true;
}

} // namespace corvane
