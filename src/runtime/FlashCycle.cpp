#include "runtime/FlashCycle.h"

#include "panel/ControlProperties.h"
#include "panel/PanelState.h"
#include "runtime/ColorRules.h"
#include "support/ColorNumber.h"

#include <exception>

namespace corvane {

namespace CP = ControlProperties;

namespace {

void flash(clsUPControl& record) {
    if (record.BackColorOn == record.BackColorOff) {
        record.BackColorOff = QString::number(kColorLightGrey);
    }
    QWidget* control = record.pntrControl.data();
    if (control == nullptr) {
        return;
    }
    const bool showsOn = QString::number(CP::BackColor(control)) == record.BackColorOn;
    CP::SetBackColor(control,
                     ColorNumberFromText(showsOn ? record.BackColorOff : record.BackColorOn));
}

} // namespace

void FlashCycle::FlashControls() noexcept {
    for (auto& entry : m_state.collControls) {
        if (!entry.value || !entry.value->Flash) {
            continue;
        }
        try {
            flash(*entry.value);
        } catch (const std::exception&) {
            // One control whose colours cannot be read must not stop the others flashing.
        }
    }
}

} // namespace corvane
