#pragma once

#include <QString>

namespace corvane {

class FrameSender;
struct PanelState;

// Commands the panel sends to the Core on its own behalf: control commands (command 44) and the
// panel's load command once the panel has been built.
class PanelCommands {
public:
    PanelCommands(PanelState& state, FrameSender& sender);

    // Sends "panel name.control name", the field separator and the command text as a control
    // command. The panel's name is the window's Tag.
    void SendControlCommand(const QString& controlName, const QString& commandText);

    // The command text with its placeholders filled in from the live panel (CommandValues.h).
    QString ReplaceValueInCommand(const QString& commandText) const;

    // Sends the panel's load command (the form record's OnLoad, trimmed) under the control
    // name "MainForm"; nothing when the panel has none.
    void RunLoadScript();

private:
    PanelState& m_state;
    FrameSender& m_sender;
};

} // namespace corvane
