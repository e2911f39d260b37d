#include "components/LedMeter.h"
#include "components/MeterFader.h"
#include "components/TSClockInterop.h"
#include "panel/ControlProperties.h"

#include <QImage>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace corvane {
namespace {

namespace CP = ControlProperties;

struct Component {
    const char* name;
    std::unique_ptr<QWidget> widget;
    std::function<QColor(QWidget*)> textColour;
};

// The panel's colour numbers reach the components through the same calls that colour every
// other control, and show where a person looks: the ground and the texts.
TEST(ComponentColors, PanelColourNumbersReachGroundAndText) {
    std::vector<Component> components;
    components.push_back({"meter", std::make_unique<LedMeter>(), [](QWidget* w) {
                              return static_cast<LedMeter*>(w)->colors().scaleText;
                          }});
    components.push_back({"strip", std::make_unique<MeterFader>(),
                          [](QWidget* w) { return static_cast<MeterFader*>(w)->gainColor(); }});
    components.push_back({"clock", std::make_unique<TSClockInterop>(),
                          [](QWidget* w) { return static_cast<TSClockInterop*>(w)->foreColor(); }});
    for (Component& c : components) {
        SCOPED_TRACE(c.name);
        QWidget* widget = c.widget.get();
        widget->resize(120, 200);
        widget->show();

        CP::SetBackColor(widget, 0x00FF0000); // blue, as colour numbers put it
        CP::SetForeColor(widget, 65535);      // yellow
        EXPECT_EQ(CP::BackColor(widget), 0x00FF0000);
        EXPECT_EQ(CP::ForeColor(widget), 65535);
        EXPECT_EQ(widget->grab().toImage().pixelColor(1, 1), QColor(0, 0, 255));
        EXPECT_EQ(c.textColour(widget), QColor(255, 255, 0));
        // The widgets paint their own ground; Qt does not fill it behind them.
        EXPECT_FALSE(widget->autoFillBackground());
    }
}

} // namespace
} // namespace corvane
