#pragma once

#include <QString>

namespace corvane {

// The fixed texts of the Core's client protocol (the module modClientProtocolConsts).
// They are filled once at start-up by InitializeClientProtocolConsts() and never change;
// they are also valid before that call, so that code and tests may use them at any time.
struct modClientProtocolConsts {
    static const QString strFrameStart;      // STX STX: opens every frame
    static const QString strFrameEnd;        // ETX ETX: closes every frame
    static const QString strNoAddress;       // address block of frames that address no point
    static const QString strFieldSeparator;  // code 31
    static const QString strRecordSeparator; // codes 30, 31, 30
};

void InitializeClientProtocolConsts();

// Command numbers; each travels as the one character whose code is the number.
// Some numbers mean one thing from the Core and another to it: each meaning has its own name,
// and the outgoing frames are built in FrameBuilder.
namespace Command {
// From the Core
constexpr int StatusReply = 1;
constexpr int OperatorMessage = 13;
constexpr int MeterAbilities = 19; // what a channel strip can do
constexpr int MeterAddOns = 20;    // on/off and programme-bus states
constexpr int LevelData = 22;      // levels and fader gains
constexpr int PropertyChange = 35; // '#'
// To the Core
constexpr int MeterSubscription = 19;
constexpr int MeterUnsubscription = 20;
constexpr int FaderMove = 22;      // the operator moved a fader
constexpr int ButtonPush = 35;     // '#': a button pushed or released
constexpr int KeepAlive = 37;      // '%'
constexpr int ChannelRequest = 39; // '\''
constexpr int FaderGainQuery = 47; // '/'
constexpr int ControlCommand = 44; // ','
// Both ways
constexpr int Login = 40;           // '(': the login and its reply, status replies
constexpr int PanelDefinition = 43; // '+': asked for, and delivered
constexpr int IoAddress = 46;       // '.': asked for, and reported
} // namespace Command

// Length of a frame's header (frame start, command, address block): a frame is complete
// without payload at 15 characters before its frame end.
constexpr int kFrameHeaderLength = 15;

} // namespace corvane
