#pragma once

#include <QFont>

class QWidget;

namespace corvane {

// Fonts of a panel's widgets at the panel's scale. A widget given a font here remembers its
// size at scale 1 and shows it at its window's scale (PanelMapping); widgets given none
// inherit the window's, which is scaled the same way.
namespace PanelFont {

// The font at scale 1 (a size in points; a font sized in pixels is set as it is).
void set(QWidget* widget, const QFont& fontAtScaleOne);
// The size in points at scale 1 of what the widget shows now.
double pointsAtScaleOne(const QWidget* widget);
// Shows the remembered font at the window's scale now. False, and nothing changes, for a
// widget never given one.
bool reapply(QWidget* widget);

} // namespace PanelFont

} // namespace corvane
