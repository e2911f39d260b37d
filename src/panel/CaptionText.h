#pragma once

#include <QString>

namespace corvane {

// Caption texts in their three forms: as the Core writes them in a definition or a change (a
// line break as the two characters "\n"), as records and controls keep them (a line break as
// "\r\n"), and as a label draws them.

// A caption from the Core as records keep it: every "\n" escape becomes "\r\n".
QString CaptionFromCore(const QString& text);

// The text for a label or a button: "&" doubled so that it shows instead of marking an access
// key, and "\r\n" (or a lone "\r") as the line break a label draws.
QString CaptionForLabel(const QString& caption);

// A caption as it goes back to the Core: every line break as "\r\n", and, when it was shown by
// a label (not a text box), every "&" doubled as the caption holds it.
QString CaptionForCore(const QString& shown, bool shownByLabel);

} // namespace corvane
