#pragma once

namespace corvane {

// How long the connector waits at each stage of a hunt, in milliseconds.
struct CoreConnectorTimings {
    int connectTimeoutMs = 3000; // TCP connect, host lookup included
    int loginTimeoutMs = 5000;   // from the login frame to the Core's reply
    int listPauseMs = 2000;      // after the last entry of the hunt list, before the first again
    int reconnectDelayMs = 1000; // after a lost connection, before hunting again
};

} // namespace corvane
