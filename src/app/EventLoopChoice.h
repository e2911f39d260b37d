#pragma once

namespace corvane {

// Runs the program on Qt's own event loop rather than GLib's; must be called before the
// application object is made. GLib's loop wakes itself with a write to a file for every event
// posted on its own thread, and Qt posts several for each control it makes and shows: on a
// panel of 10,000 controls that was a sixth of the time the operator waits for it. Nothing in
// the client needs GLib's loop. QT_NO_GLIB, when set (to empty for GLib's), is left to decide.
void PreferQtEventLoop();

} // namespace corvane
