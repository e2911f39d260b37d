#pragma once

#include <QObject>

namespace corvane {

class AddressLookup;
class FrameSender;
class MeterFader;
struct ControlArrays;
struct PanelState;
struct clsUPControl;

// The operator's side of the channel strips: fader moves (command 22), the on/off and
// programme-bus buttons (command 39) and the fader lock that keeps gains from the Core off a
// fader the operator is using; and the poll that asks the Core for the gains of the faders
// (command 47). Clicks change nothing on the strip itself: its buttons light when the Core
// answers.
class FaderActions : public QObject {
    Q_OBJECT
public:
    // lockMs: how long a fader stays locked after the operator's last move.
    FaderActions(PanelState& panel, ControlArrays& arrays, FrameSender& core,
                 const AddressLookup& addresses, int lockMs, QObject* parent = nullptr);

    // Connects the events of every channel strip built so far; strips connected before stay
    // connected once.
    void connectStrips();

    // Asks the Core for the gain of every fader that has programme bus 1 and a known device
    // address ("host/channel").
    void timCheckFader_Timer();

    // The strip events; each carries the strip's index in its control array.
    void TesselMeterFader_FaderLevelChanged(int index);
    void TesselMeterFader_FaderLevelDrag(int index);
    void TesselMeterFader_UserTimer(int index);
    void TesselMeterFader_OnOffClicked(int index);
    void TesselMeterFader_PGMBusClicked(int index, int bus);

private:
    // The strip under the index and its record, when the record is a "meterfader".
    MeterFader* stripOf(int index, clsUPControl** record) const;
    void restartLock(MeterFader& strip) const;
    void sendForPoint(int command, const clsUPControl& record, const QString& payload);

    PanelState& m_panel;
    ControlArrays& m_arrays;
    FrameSender& m_core;
    const AddressLookup& m_addresses;
    int m_lockMs;
};

} // namespace corvane
