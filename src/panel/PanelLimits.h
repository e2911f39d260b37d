#pragma once

namespace corvane {

// Bounds on what one panel definition, or a change to it, may ask of the client. A broken or
// hostile Core must not be able to make the panel grow without limit; what is over a bound is
// skipped and logged.
namespace PanelLimits {

// Web views each start a browser engine process; a few are plenty for a panel.
inline constexpr int kMaxWebViews = 16;
// Items in one drop-down list, from the definition or from a "list" change.
inline constexpr int kMaxListItems = 10000;
// Controls registered from one delivery of the definition.
inline constexpr int kMaxControlsPerDelivery = 50000;

} // namespace PanelLimits

} // namespace corvane
