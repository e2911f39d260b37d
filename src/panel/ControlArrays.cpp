#include "panel/ControlArrays.h"

#include "components/LedMeter.h"
#include "components/MeterFader.h"
#include "components/TSClockInterop.h"
#include "panel/PanelButton.h"
#include "panel/PanelWidgets.h"

namespace corvane {

namespace {

template <typename Widget> Widget* hiddenTemplate(Widget* element, QSize size) {
    element->setObjectName(QStringLiteral("template"));
    element->resize(size);
    element->hide();
    return element;
}

} // namespace

void ControlArrays::createTemplates(QWidget* window) {
    // Sizes of the templates are what a control gets when its record gives no size.
    txtBox.setTemplate(hiddenTemplate(CreateTextBox(window), QSize(100, 22)));
    butCommand.setTemplate(hiddenTemplate(CreateButton(window), QSize(80, 32)));
    cmbBox.setTemplate(hiddenTemplate(CreateDropDown(window), QSize(120, 22)));
    lblBox.setTemplate(hiddenTemplate(CreateLabel(window), QSize(80, 20)));
    // A plain widget: a real web view is made only when a panel has one, since each costs
    // a browser process.
    WebControl.setTemplate(hiddenTemplate(new QWidget(window), QSize(320, 240)));
    TesselLED.setTemplate(hiddenTemplate(new LedMeter(window), QSize(24, 120)));
    TesselMeterFader.setTemplate(hiddenTemplate(new MeterFader(window), QSize(90, 300)));
    TSClockInterop.setTemplate(hiddenTemplate(new ClockWidget(window), QSize(160, 60)));
}

} // namespace corvane
