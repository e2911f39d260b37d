#pragma once

#include <QString>
#include <QStringView>

namespace corvane {

class DefinitionDocument;

// What one panel definition may be. A definition comes from the network; these bounds keep a
// hostile or broken one from costing unbounded memory or time in the XML parser, whose cost
// grows with the square of the nesting depth and of the attributes in one tag, and whose entity
// expansion can turn a small text into a huge one. A real panel of 10,000 controls is about
// 5 million characters, 4 levels deep, without attributes or document type declarations.
struct DefinitionLimits {
    static constexpr qsizetype kMaxCharacters = 16 * 1024 * 1024;
    static constexpr qsizetype kMaxMarkup = 1'000'000; // tags, comments and the like
    static constexpr int kMaxDepth = 256;
    static constexpr int kMaxAttributesPerTag = 256;
};

// One linear pass over the text: false when it exceeds the limits above or carries an internal
// document type subset (where entities are declared). Does not check well-formedness.
bool IsWithinDefinitionLimits(QStringView xml);

// Why a definition could not be loaded, for those who explain it to a panel's author: which
// limit it goes beyond, or what the XML parser found, and where (1-based; 0 when unknown).
struct DefinitionLoadFailure {
    bool beyondLimits = false; // false: not well-formed XML
    QString reason;
    int line = 0;
    int column = 0;
};

// Parses the text into the document when it is within the limits and well-formed XML.
// Anything else counts as not well-formed: false, and the document is left empty. Text beyond
// the limits is refused without being copied. The failure, when asked for, says why. The
// document looks into the text, which must outlive it.
bool LoadDefinitionDocument(QStringView xml, DefinitionDocument& document,
                            DefinitionLoadFailure* failure = nullptr);

} // namespace corvane
