#pragma once

#include <QPointer>

#include <functional>

class QWidget;

namespace corvane {

class FrameSender;
struct ControlArrays;
struct PanelState;

// The program's orderly end, run once when the main window unloads: the splash and the
// "Connecting" window go, timers stop, the window position is saved, every meter point is
// unsubscribed at the Core (command 20) and at the meter server, web views stop, the panel is
// released, the unsubscribe messages get a moment to leave, both connections close, every
// other window closes and the program ends.
//
// A failure abandons the remaining steps; the other windows are still closed and the program
// still ends. Failures in releasing a run-time control or stopping a web view are skipped.
class ShutdownSequence {
public:
    struct Hooks {
        std::function<void()> StopTimers; // the keep-alive, flash and message timers
        std::function<void()> SaveStartPosition;
        std::function<void(qint32 router, qint32 io, bool isDest)> UnsubscribeMeterOnMeterServ;
        std::function<void()> CloseMasterConnection;
        std::function<void(bool noReset)> MeteringStop;
        std::function<void()> EndProgram;
    };

    // How long pending events run after the unsubscribe messages, so that they leave.
    static constexpr int kSendWaitMs = 100;

    ShutdownSequence(PanelState& state, ControlArrays& arrays, FrameSender& sender,
                     QWidget* mainWindow, Hooks hooks);

    // Never throws; always ends with EndProgram.
    void run() noexcept;

private:
    void runSteps();
    void closeSplash();
    void closeConnecting();
    void unsubscribeMetersAndStopWebViews();
    void unloadRunTimeComponents();
    void letMessagesLeave();
    void closeOtherWindows();

    PanelState& m_state;
    ControlArrays& m_arrays;
    FrameSender& m_sender;
    QPointer<QWidget> m_mainWindow;
    Hooks m_hooks;
};

} // namespace corvane
