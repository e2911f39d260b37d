#pragma once

#include <QString>

namespace corvane {

// How a numeric field of a panel definition becomes a number, where that can fail. The reader's
// key tables name one for each such field, so that a value that stops the panel can be
// explained in the field's own terms.
enum class NumberField {
    None,          // never fails
    Twips16,       // the number at the start of the text, a 16-bit position or size in twips
    Prefix16,      // the number at the start of the text, a 16-bit integer
    WholeNumber32, // the whole text must be a number; a 32-bit integer
    WholeNumber16, // a text that is a number as a whole must fit 16 bits (others read as 0)
};

// Why the value of the field cannot be converted, for example "left 40000 is beyond 32767
// twips". Only meaningful for a value that failed to convert.
QString ExplainConversionFailure(const QString& key, const QString& value, NumberField kind);

} // namespace corvane
