#pragma once

#include <QString>

namespace corvane {

class FrameSender;
struct ControlArrays;
struct PanelState;

// What the operator's presses on the panel's buttons tell the Core. A press sends the button's
// mouse-down command (placeholders filled, as a control command) when it has one, then "T" with
// the panel-qualified name; a release sends the mouse-up command and "F". Any mouse button
// acts alike. The panel itself does not change: the Core answers with the new state.
class ButtonActions {
public:
    ButtonActions(PanelState& state, const ControlArrays& arrays, FrameSender& sender);

    // index: the button's index in butCommand. Never throw; a failure ends that handler.
    void butCommand_MouseDown(int index) noexcept;
    void butCommand_MouseUp(int index) noexcept;

    // "T" (pushed) or "F" (released), the panel's name, "." and the control's name (command 35).
    void SendButtonPush(const QString& controlName, bool pushed);

    // Reports now the release of every button the operator still holds (its mouse-up command
    // and "F", through the buttons' own release handling); their later release reports nothing.
    // Run before a new delivery of the panel is applied and when the program ends, so the Core
    // never keeps a button pushed through either.
    void releaseHeldButtons();

private:
    void act(int index, bool down);

    PanelState& m_state;
    const ControlArrays& m_arrays;
    FrameSender& m_sender;
};

} // namespace corvane
