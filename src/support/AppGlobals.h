#pragma once

namespace corvane {

// The state of the run that several parts read: the main window owns it and hands it to the
// parts that need it.
struct AppGlobals {
    // Levels come from the Core (command 22) rather than from the meter server.
    bool boolCoreMeterMode = false;
    // The program is ending: nothing more is shown, subscribed or marked.
    bool boolShuttingDown = false;
};

} // namespace corvane
