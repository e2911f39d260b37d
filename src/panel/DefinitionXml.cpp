#include "panel/DefinitionXml.h"

#include "panel/DefinitionElement.h"

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
                return breach(QStringLiteral("more than %1 tags, comments and the like")
                                  .arg(DefinitionLimits::kMaxMarkup));
            }
            // Told apart by the character after the "<": nearly every one is a tag.
            const QChar next = m_pos + 1 < m_xml.size() ? m_xml[m_pos + 1] : QChar();
            bool ok = true;
            if (next == QLatin1Char('/')) {
                --m_depth;
                skipPast(QLatin1String(">"), 2);
            } else if (next == QLatin1Char('?')) {
                skipPast(QLatin1String("?>"), 2);
            } else if (next != QLatin1Char('!')) {
                ok = startTag();
            } else if (m_xml.mid(m_pos).startsWith(QLatin1String("<!--"))) {
                skipPast(QLatin1String("-->"), 4);
            } else if (m_xml.mid(m_pos).startsWith(QLatin1String("<![CDATA["))) {
                skipPast(QLatin1String("]]>"), 9);
            } else {
                ok = declaration();
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

    // What the scan stopped at, and where: empty while within the limits.
    const QString& reason() const { return m_reason; }
    qsizetype breachAt() const { return m_breachAt; }

private:
    bool breach(const QString& reason) {
        m_reason = reason;
        m_breachAt = m_pos;
        return false;
    }

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
                return breach(QStringLiteral("a document type declaration with an internal "
                                             "subset, where entities would be declared"));
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
                    return breach(QStringLiteral("a tag with more than %1 attributes")
                                      .arg(DefinitionLimits::kMaxAttributesPerTag));
                }
            } else if (c == QLatin1Char('>')) {
                if (m_xml[i - 1] != QLatin1Char('/') && ++m_depth > DefinitionLimits::kMaxDepth) {
                    return breach(QStringLiteral("elements nested more than %1 deep")
                                      .arg(DefinitionLimits::kMaxDepth));
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
    QString m_reason;
    qsizetype m_breachAt = 0;
};

// Line and column (1-based) of a place in the text; only asked for when explaining a failure.
void placeOf(QStringView xml, qsizetype offset, DefinitionLoadFailure& failure) {
    const QStringView before = xml.left(offset);
    failure.line = int(before.count(QLatin1Char('\n'))) + 1;
    failure.column = int(offset - (before.lastIndexOf(QLatin1Char('\n')) + 1)) + 1;
}

bool explainedBreach(QStringView xml, DefinitionLoadFailure* failure) {
    if (xml.size() > DefinitionLimits::kMaxCharacters) {
        if (failure != nullptr) {
            failure->reason =
                QStringLiteral("more than %1 characters").arg(DefinitionLimits::kMaxCharacters);
            placeOf(xml, DefinitionLimits::kMaxCharacters, *failure);
        }
        return true;
    }
    MarkupScanner scanner(xml);
    if (scanner.withinLimits()) {
        return false;
    }
    if (failure != nullptr) {
        failure->reason = scanner.reason();
        placeOf(xml, scanner.breachAt(), *failure);
    }
    return true;
}

} // namespace

bool IsWithinDefinitionLimits(QStringView xml) {
    return !explainedBreach(xml, nullptr);
}

bool LoadDefinitionDocument(QStringView xml, DefinitionDocument& document,
                            DefinitionLoadFailure* failure) {
    document.clear();
    if (explainedBreach(xml, failure)) {
        if (failure != nullptr) {
            failure->beyondLimits = true;
        }
        return false;
    }
    DefinitionParseError error;
    if (!document.setContent(xml, &error)) {
        if (failure != nullptr) {
            *failure = DefinitionLoadFailure{false, error.message, error.line, error.column};
        }
        return false;
    }
    return true;
}

} // namespace corvane
