#include "runtime/ButtonActions.h"

#include "panel/ControlArrays.h"
#include "panel/ControlProperties.h"
#include "panel/PanelButton.h"
#include "panel/PanelState.h"
#include "protocol/ClientProtocolConsts.h"
#include "protocol/FrameBuilder.h"
#include "protocol/FrameSender.h"
#include "runtime/PanelCommands.h"

#include <exception>

namespace corvane {

ButtonActions::ButtonActions(PanelState& state, const ControlArrays& arrays, FrameSender& sender)
    : m_state(state), m_arrays(arrays), m_sender(sender) {}

void ButtonActions::butCommand_MouseDown(int index) noexcept {
    try {
        act(index, true);
    } catch (const std::exception&) {
        // Nothing is retried; the next press is handled as usual.
    }
}

void ButtonActions::butCommand_MouseUp(int index) noexcept {
    try {
        act(index, false);
    } catch (const std::exception&) {
    }
}

void ButtonActions::act(int index, bool down) {
    const PanelButton* button = m_arrays.butCommand.at(index);
    if (button == nullptr) {
        return;
    }
    const QString name = ControlProperties::Tag(button);
    const ControlRecordPtr* record = m_state.collControls.find(name);
    if (record == nullptr || !*record || (*record)->typeKey() != QLatin1String("button")) {
        return;
    }
    const QString command = (down ? (*record)->MouseDown : (*record)->MouseUp).trimmed();
    if (!command.isEmpty()) {
        PanelCommands commands(m_state, m_sender);
        commands.SendControlCommand(name, commands.ReplaceValueInCommand(command));
    }
    SendButtonPush(name, down);
}

void ButtonActions::releaseHeldButtons() {
    for (int index = 1; index < m_arrays.butCommand.count(); ++index) {
        if (PanelButton* button = m_arrays.butCommand.at(index)) {
            button->releaseHold();
        }
    }
}

void ButtonActions::SendButtonPush(const QString& controlName, bool pushed) {
    m_sender.SendCvpCommand(
        ButtonPushFrame(m_state.windowTag + QLatin1Char('.') + controlName, pushed));
}

} // namespace corvane
