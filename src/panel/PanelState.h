#pragma once

#include "panel/clsUPControl.h"
#include "support/KeyedCollection.h"

#include <QSet>
#include <QString>

#include <memory>

namespace corvane {

using ControlRecordPtr = std::shared_ptr<clsUPControl>;

// The meter controls on one point: their names joined by "||", in the order they were listed.
struct MeterPointControls {
    MeterPoint point;
    QString names;
};

// The panel as the main window holds it: the control records in registration order, the
// meter points and the controls that show them, and the window values that the runtime reads.
// Plain data, so that reading, building and runtime behaviour can be tested without a window.
struct PanelState {
    // Records keyed by their Name in lower case, in registration order.
    KeyedCollection<ControlRecordPtr> collControls;
    // Meter point key ("2_15_False") -> the point and the names of the meter controls on it,
    // in order of last change.
    KeyedCollection<MeterPointControls> collMeterPointers;
    // Each name listed in collMeterPointers, with its key ("2_15_False\nname", case-folded),
    // so that a name is listed once per point however often the panel is delivered.
    QSet<QString> meterPointerNames;
    // The panel's picture folder from the definition; empty or ending in a separator.
    QString strDefaultPicturePath;
    // The program's PanelGraphics folder; empty or ending in a separator.
    QString strGraphicsPath;
    // The panel window's Tag: the panel's name once the window has been built.
    QString windowTag;
};

} // namespace corvane
