#pragma once

#include <QStringList>
#include <QStringView>

#include <optional>

namespace corvane {

// Colour numbers of the named colours the Core uses (0x00BBGGRR).
constexpr qint32 kColorYellow = 65535;
constexpr qint32 kColorLightGrey = 14737632; // "grey" and "lightgrey"

// A colour text as a colour number: a decimal or "&H" number (a fraction rounded, half to
// even), or a colour word in any letter case. Never fails: empty text, an unknown word or a
// number beyond 32 bits gives 0 (black).
qint32 DeriveColor(QStringView text);

// The same rule for a reader that keeps its colour when the text names none: nothing for
// exactly the texts that DeriveColor turns into black by default.
std::optional<qint32> ReadColor(QStringView text);

// The colour words (lower case), sorted.
QStringList ColorWords();

} // namespace corvane
