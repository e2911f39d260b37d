#include "app/ShutdownSequence.h"

#include "components/LedMeter.h"
#include "components/MeterFader.h"
#include "components/TSClockInterop.h"
#include "panel/ControlArrays.h"
#include "panel/PanelState.h"
#include "panel/PanelWidgets.h"
#include "protocol/ClientProtocolConsts.h"
#include "protocol/FrameBuilder.h"
#include "protocol/FrameSender.h"
#include "support/LogCategories.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include <exception>

namespace corvane {

namespace {

bool isMeterType(const QString& type) {
    return type == QLatin1String("meter") || type == QLatin1String("meterhold") ||
           type == QLatin1String("meterfader");
}

// Deletes the elements a panel loaded into a control array; element 0, the template, stays.
template <typename Widget> void unloadElements(ControlArray<Widget>& array) {
    for (int index = 1; index < array.count(); ++index) {
        try {
            delete array.at(index);
        } catch (...) {
            // A control that fails to go is left to the window's own end.
        }
    }
}

} // namespace

ShutdownSequence::ShutdownSequence(PanelState& state, ControlArrays& arrays, FrameSender& sender,
                                   QWidget* mainWindow, Steps& steps, int sendWaitMs)
    : m_state(state), m_arrays(arrays), m_sender(sender), m_mainWindow(mainWindow), m_steps(steps),
      m_sendWaitMs(sendWaitMs) {}

void ShutdownSequence::run() noexcept {
    try {
        runSteps();
    } catch (...) {
        qCWarning(lcPanel) << "shut-down failed; closing the windows and ending";
        try {
            closeOtherWindows();
        } catch (...) {
            // The program ends all the same.
        }
    }
    m_steps.EndProgram();
}

void ShutdownSequence::runSteps() {
    m_steps.CloseStartWindows();
    m_steps.StopTimers();
    m_steps.SaveStartPosition();
    unsubscribeMetersAndStopWebViews();
    m_state.collControls.clear();
    unloadRunTimeComponents();
    letMessagesLeave();
    m_steps.CloseMasterConnection();
    m_steps.MeteringStop(false);
    closeOtherWindows();
}

void ShutdownSequence::unsubscribeMetersAndStopWebViews() {
    int unsubscribed = 0;
    for (const auto& entry : m_state.collControls) {
        const clsUPControl* record = entry.value.get();
        if (record == nullptr) {
            continue;
        }
        const QString type = record->typeKey();
        if (isMeterType(type)) {
            if (record->lngMeterRTRNum >= 1 && record->lngMeterIONum >= 1) {
                // One per record, as each record subscribed its point when it was built.
                m_sender.SendCvpCommand(MeterUnsubscriptionFrame(
                    record->lngMeterRTRNum, record->lngMeterIONum, record->boolMeterIsSource));
                m_steps.UnsubscribeMeterOnMeterServ(record->lngMeterRTRNum, record->lngMeterIONum,
                                                    !record->boolMeterIsSource);
                ++unsubscribed;
            }
        } else if (type == QLatin1String("webbrowser")) {
            try {
                if (record->pntrControl) {
                    StopWebView(record->pntrControl);
                }
            } catch (...) {
                // A web view that will not stop goes with the window.
            }
        }
    }
    qCDebug(lcPanel) << "shut-down: unsubscribed" << unsubscribed << "meter controls";
}

void ShutdownSequence::unloadRunTimeComponents() {
    unloadElements(m_arrays.TSClockInterop);
    unloadElements(m_arrays.TesselLED);
    unloadElements(m_arrays.TesselMeterFader);
}

void ShutdownSequence::letMessagesLeave() {
    // Events run meanwhile, so the connection can write what was just handed to it. The timer
    // only makes sure that the wait for events ends at the deadline.
    QDeadlineTimer deadline(m_sendWaitMs);
    QTimer wakeUp;
    wakeUp.setSingleShot(true);
    wakeUp.setTimerType(Qt::PreciseTimer);
    wakeUp.start(m_sendWaitMs + 1);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

void ShutdownSequence::closeOtherWindows() {
    QList<QPointer<QWidget>> windows;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        windows.append(window);
    }
    for (const QPointer<QWidget>& window : windows) {
        if (!window || window == m_mainWindow) {
            continue;
        }
        // Windows that unload when closed (the debug window) go now, not at a later turn.
        const bool unloadsOnClose = window->testAttribute(Qt::WA_DeleteOnClose);
        window->close();
        if (unloadsOnClose && window) {
            delete window.data();
        }
    }
}

} // namespace corvane
