#pragma once

#include <QString>

namespace corvane {

// What the main window does for the commands the Core sends. The dispatcher decides which
// operations run and in what order; the window (or a recorder in tests) carries them out.
// An operation may throw: that ends the handling of the current frame only.
class ProtocolHandlers {
public:
    virtual ~ProtocolHandlers() = default;

    // Status replies 1 and 40 that report a problem: MeterWinsock.MeteringStop with NoReset
    // false, so metering stays down until the next panel definition.
    virtual void StopMetering() = 0;

    // Command 13: append the text to strPendingMessages and enable timMessage.
    virtual void AppendPendingMessage(const QString& text) = 0;

    // Commands 19 and 20: capabilities and add-on states of one meter point.
    virtual void CheckUPMeterAbilities(qint32 router, qint32 io, bool isDest,
                                       const QString& payload) = 0;
    virtual void CheckUPMeterAddOns(qint32 router, qint32 io, bool isDest,
                                    const QString& payload) = 0;

    // Command 22: level and fader records.
    virtual void CheckUserFormMeters(const QString& payload) = 0;

    // Command 35: panel name "." control name "." property assignment.
    virtual void ChangePanelProperty(const QString& payload) = 0;

    // Command 43, called in this order. SetConnectingLabelLoading does nothing when the
    // "Connecting" window is not loaded. MasterRemoteHost is the Core connected now; metering
    // starts towards the meter server on that host, at the configured meter-server port.
    virtual void SetConnectingLabelLoading() = 0;
    virtual void UpdateUserPanel(const QString& payload) = 0;
    virtual QString MasterRemoteHost() = 0;
    virtual void MeteringStart(const QString& host) = 0;
    virtual void HideConnecting() = 0;

    // Command 46, in this order: store the point's I/O address (which also lets a waiting
    // subscription go out), then MeterWinsock.CheckConnection for the point.
    virtual void UpdateAddressLookup(qint32 router, qint32 io, bool isDest,
                                     const QString& address) = 0;
    virtual void CheckMeterConnection(qint32 router, qint32 io) = 0;
};

} // namespace corvane
