#pragma once

#include <QFont>

namespace corvane {

// The font of a component's small print (scale figures, strip names, button captions): the
// widget's own font, which follows the application font and the desktop's scaling, at a share
// of its size. Never a fixed pixel size, so the text grows and shrinks with the rest.
QFont scaledFont(const QFont& base, qreal share, bool bold = false);

} // namespace corvane
