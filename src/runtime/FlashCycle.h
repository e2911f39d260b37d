#pragma once

namespace corvane {

struct PanelState;

// Controls the Core has set flashing show their on colour and their off colour in turn, one
// tick each, while the flash timer runs (from the window's start to its end).
class FlashCycle {
public:
    explicit FlashCycle(PanelState& state) : m_state(state) {}

    // One tick over every flashing record. A control whose on and off colours are equal gets
    // light grey as its off colour for good, so that there is something to alternate with; one
    // that shows neither colour goes to its on colour first. A record without a visible
    // control is passed over. Never throws.
    void FlashControls() noexcept;

private:
    PanelState& m_state;
};

} // namespace corvane
