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
namespace Command {
constexpr int StatusReply = 1;
constexpr int OperatorMessage = 13;
constexpr int MeterSubscription = 19; // to the Core: subscribe; from it: capabilities
constexpr int MeterAddOns = 20;       // to the Core: unsubscribe; from it: add-on states
constexpr int LevelData = 22;         // from the Core: levels and gains; to it: fader moved
constexpr int PropertyChange = 35;    // '#': from the Core: property; to it: push/release
constexpr int KeepAlive = 37;         // '%'
constexpr int ChannelRequest = 39;    // '\''
constexpr int Login = 40;             // '(': login and status replies
constexpr int PanelDefinition = 43;   // '+'
constexpr int ControlCommand = 44;    // ','
constexpr int IoAddress = 46;         // '.'
constexpr int FaderGainQuery = 47;    // '/'
} // namespace Command

// Length of a frame's header (frame start, command, address block): a frame is complete
// without payload at 15 characters before its frame end.
constexpr int kFrameHeaderLength = 15;

} // namespace corvane
