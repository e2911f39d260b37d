#pragma once

#include "connection/CoreConnectorTimings.h"

#include <QtGlobal>

namespace corvane {

// Every period and limit of the running program, in one place. The main window is given one
// at construction and hands each part the values it needs; tests give short ones.
struct RuntimeTimings {
    // A fader the operator has moved takes no gains from the Core for this long.
    int faderLockMs = 5000;
    // The poll that asks the Core for the faders' gains.
    int faderPollMs = 5000;
    // One step of flashing controls: on colour, then off colour.
    int flashMs = 490;
    // Operator messages are gathered this long before they are shown.
    int messageTickMs = 250;
    // After a panel is built, every control is made visible once this has passed.
    int forceVisibleMs = 1000;
    // The first keep-alive goes this long after the first panel; later ones after this plus a
    // random part of the spread, drawn once.
    int firstKeepAliveMs = 10000;
    int keepAliveSpreadMs = 20001;
    // The meter client checks its connection and its quiet points this often.
    int meterCheckMs = 10000;
    // A meter-server connection that has not closed in this time is aborted.
    int meterCloseWaitLimitMs = 8000;
    // The poll value told to the meter server on every new connection.
    qint16 meterPollValue = 120;
    // A subscribed point that has sent no level for longer is subscribed again.
    qint64 meterQuietLimitMs = 6000;
    // How long pending events run at the program's end, so that the last messages leave.
    int shutdownSendWaitMs = 100;
    // The Core connection's waits while it hunts for a Core and logs in.
    CoreConnectorTimings coreConnection;
};

} // namespace corvane
