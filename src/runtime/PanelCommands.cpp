#include "runtime/PanelCommands.h"

#include "panel/PanelState.h"
#include "protocol/ClientProtocolConsts.h"
#include "protocol/FrameBuilder.h"
#include "protocol/FrameSender.h"
#include "runtime/CommandValues.h"

#include <exception>

namespace corvane {

PanelCommands::PanelCommands(PanelState& state, FrameSender& sender)
    : m_state(state), m_sender(sender) {}

void PanelCommands::SendControlCommand(const QString& controlName, const QString& commandText) {
    const QString payload = m_state.windowTag + QLatin1Char('.') + controlName +
                            modClientProtocolConsts::strFieldSeparator + commandText;
    m_sender.SendCvpCommand(
        BuildFrame(Command::ControlCommand, modClientProtocolConsts::strNoAddress, payload));
}

QString PanelCommands::ReplaceValueInCommand(const QString& commandText) const {
    return corvane::ReplaceValueInCommand(commandText, m_state);
}

void PanelCommands::RunLoadScript() {
    try {
        for (const auto& entry : m_state.collControls) {
            if (!entry.value || entry.value->typeKey() != QLatin1String("form")) {
                continue;
            }
            const QString command = entry.value->OnLoad.trimmed();
            if (!command.isEmpty()) {
                SendControlCommand(QStringLiteral("MainForm"), ReplaceValueInCommand(command));
            }
            return;
        }
    } catch (const std::exception&) {
        // A load command that cannot be sent is not retried; the panel works without it.
    }
}

} // namespace corvane
