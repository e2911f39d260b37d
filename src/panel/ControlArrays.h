#pragma once

#include "panel/ControlArray.h"
#include "panel/PanelTextBox.h"

#include "panel/PanelDropDown.h"
#include <QLabel>

namespace corvane {

class PanelButton;
class LedMeter;
class MeterFader;
class TSClockInterop;
using ClockWidget = TSClockInterop; // the array below carries the widget's own name

// The panel window's control arrays, one per kind of visible control.
struct ControlArrays {
    ControlArray<PanelTextBox> txtBox;
    ControlArray<PanelButton> butCommand;
    ControlArray<PanelDropDown> cmbBox;
    ControlArray<QLabel> lblBox;
    ControlArray<QWidget> WebControl;
    ControlArray<LedMeter> TesselLED;
    ControlArray<MeterFader> TesselMeterFader;
    ControlArray<ClockWidget> TSClockInterop;

    // Creates the hidden templates (element 0 of each array) on the window.
    void createTemplates(QWidget* window);
};

} // namespace corvane
