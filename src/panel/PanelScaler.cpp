#include "panel/PanelScaler.h"

#include "panel/PanelTiles.h"
#include "panel/PanelWidgets.h"
#include "support/PanelFont.h"
#include "support/TwipsGeometry.h"

#include <QWidget>

namespace corvane::PanelScaler {

void apply(QWidget* window, const PanelMapping& mapping) {
    const PanelMapping before = PanelMapping::of(window);
    PanelMapping::install(window, mapping);
    const bool rescaled = before.scale() != mapping.scale();
    if (rescaled && !PanelFont::reapply(window)) {
        PanelFont::set(window, window->font()); // the font it had at scale 1
    }
    if (rescaled || before.origin() != mapping.origin()) {
        const auto controls = PanelTiles::stackingOrder(window);
        for (QWidget* control : controls) {
            if (control->isWindow()) {
                continue; // a window of its own, such as a message box or the debug window
            }
            if (rescaled) {
                PanelFont::reapply(control);
                ZoomWebView(control, mapping.scale());
            }
            TwipsGeometry::reapply(control);
        }
    }
    TwipsGeometry::reapply(window);
    window->update(); // its picture
}

} // namespace corvane::PanelScaler
