#pragma once

#include <QPointer>

class QWidget;

namespace corvane {

class FrameSender;
struct ControlArrays;
struct PanelState;

// The program's orderly end, run once when the main window unloads: the windows shown at
// start (the splash, the "Connecting" window) go, timers stop, the window position is saved, every
// meter point is unsubscribed at the Core (command 20) and at the meter server, web views stop, the
// panel is released, the unsubscribe messages get a moment to leave, both connections close, every
// other window closes and the program ends.
//
// A failure abandons the remaining steps; the other windows are still closed and the program
// still ends. Failures in releasing a run-time control or stopping a web view are skipped.
class ShutdownSequence {
public:
    // The steps the main window carries out itself.
    class Steps {
    public:
        // The splash and the "Connecting" window, through their owners.
        virtual void CloseStartWindows() = 0;
        virtual void StopTimers() = 0; // the keep-alive, flash and message timers
        virtual void SaveStartPosition() = 0;
        virtual void UnsubscribeMeterOnMeterServ(qint32 router, qint32 io, bool isDest) = 0;
        virtual void CloseMasterConnection() = 0;
        virtual void MeteringStop(bool noReset) = 0;
        virtual void EndProgram() = 0;

    protected:
        ~Steps() = default;
    };

    // sendWaitMs: how long pending events run after the unsubscribe messages, so that they
    // leave.
    ShutdownSequence(PanelState& state, ControlArrays& arrays, FrameSender& sender,
                     QWidget* mainWindow, Steps& steps, int sendWaitMs);

    // Never throws; always ends with EndProgram.
    void run() noexcept;

private:
    void runSteps();
    void unsubscribeMetersAndStopWebViews();
    void unloadRunTimeComponents();
    void letMessagesLeave();
    void closeOtherWindows();

    PanelState& m_state;
    ControlArrays& m_arrays;
    FrameSender& m_sender;
    QPointer<QWidget> m_mainWindow;
    Steps& m_steps;
    int m_sendWaitMs;
};

} // namespace corvane
