#pragma once

#include "app/DeferredShutdown.h"
#include "app/ProgramConfig.h"
#include "app/ShutdownSequence.h"
#include "meters/MeterRoutes.h"
#include "panel/ControlArrays.h"
#include "panel/FormBuilder.h"
#include "panel/PanelState.h"
#include "protocol/ClientProtocolParser.h"
#include "protocol/FrameSender.h"
#include "protocol/ProtocolHandlers.h"
#include "runtime/ButtonActions.h"
#include "runtime/CoreMeterData.h"
#include "runtime/FlashCycle.h"
#include "runtime/OperatorMessages.h"
#include "runtime/PanelCommands.h"
#include "runtime/PropertyChanges.h"
#include "runtime/RuntimeTimings.h"
#include "support/AddressLookup.h"
#include "support/AppGlobals.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace corvane {

class AboutBox;
class clsCVCoreConnection;
class ConnectionMarks;
class DeskView;
class frmDebug;
class FaderActions;
class frmMeterWinsock;
class UserPrompt;

// The main window: it is the program. Start-up reads the configuration and the window
// position and starts hunting for a Core; from then on the Core connection's events drive it.
// It carries out what the client protocol's dispatcher asks of it (ProtocolHandlers). The parts
// that do the work are built once, here, and given what they need.
class frmCVMini : public QWidget,
                  public ProtocolHandlers,
                  public FrameSender,
                  private FormBuilder::Events,
                  private ShutdownSequence::Steps {
    Q_OBJECT
public:
    // Message boxes go through prompt, or through a prompt of the window's own when none is
    // given.
    explicit frmCVMini(const RuntimeTimings& timings = {}, UserPrompt* prompt = nullptr,
                       QWidget* parent = nullptr);
    ~frmCVMini() override;

    // The start of the program, run once. It lets no events run: a close that comes meanwhile
    // is handled when the event loop starts. False when the program must end at once (an empty
    // configuration file, after the operator has been told).
    // The arguments are those after the program's name, as ParseProgramArguments reads them;
    // main() has refused arguments with mistakes before.
    bool Form_Load(const QStringList& arguments);
    // The program's orderly end (ShutdownSequence); runs once, when the window closes. A close
    // that comes while one of the window's handlers runs is carried out after that handler.
    void Form_Unload();
    // Whether the program has been ended; main() then returns without (or from) its event loop.
    bool programEnded() const { return m_programEnded; }

    // The Core connection, once Form_Load has made it.
    clsCVCoreConnection* MasterSocket() const { return m_MasterSocket; }
    // The panel: records and meter points; and the window's control arrays.
    PanelState& panel() { return m_panel; }
    const ControlArrays& controlArrays() const { return m_arrays; }
    // Reads a panel definition and builds (or adds to) the panel from it.
    void AnalyzeXML(QStringView definition);

    static QString applicationTitle();

    // FrameSender: every outgoing frame goes to the Core connection.
    void SendCvpCommand(const QString& frame) override;

    // ProtocolHandlers
    void StopMetering() override;
    void AppendPendingMessage(const QString& text) override;
    void CheckUPMeterAbilities(qint32 router, qint32 io, bool isDest,
                               const QString& payload) override;
    void CheckUPMeterAddOns(qint32 router, qint32 io, bool isDest, const QString& payload) override;
    void CheckUserFormMeters(const QString& payload) override;
    void ChangePanelProperty(const QString& payload) override;
    void SetConnectingLabelLoading() override;
    void UpdateUserPanel(const QString& payload) override;
    QString MasterRemoteHost() override;
    void MeteringStart(const QString& host) override;
    void HideConnecting() override;
    void UpdateAddressLookup(qint32 router, qint32 io, bool isDest,
                             const QString& address) override;
    void CheckMeterConnection(qint32 router, qint32 io) override;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void MasterSocket_Connected();
    void MasterSocket_Closed();
    void MasterSocket_ReceivedData(const QString& strNewData);
    void Form_GotFocus();
    void makeAlwaysOnTop();
    void timUPPing_Timer();
    void timMessage_Timer();
    void timForceVisible_Timer();
    void timFlash_Timer();
    void timCheckFader_Timer();
    void ShowDebugWindow();
    void RequestShutdown();
    void showMeterConnection();
    void BuildForm();
    // Presses and releases of any mouse button on element `index` of butCommand.
    void butCommand_MouseDown(int index);
    void butCommand_MouseUp(int index);

    // FormBuilder::Events: subscribes a meter point at the Core (command 19) and at the meter
    // server; pictures; the keep-alive; the presses of a new button.
    void SendMeterSubscription(qint32 router, qint32 io, bool isSource) override;
    void SetControlGraphic(clsUPControl& record) override;
    void EnableUPPing() override;
    void ButtonLoaded(PanelButton& button, int index) override;

    // ShutdownSequence::Steps
    void CloseStartWindows() override;
    void StopTimers() override;
    void SaveStartPosition() override;
    void UnsubscribeMeterOnMeterServ(qint32 router, qint32 io, bool isDest) override;
    void CloseMasterConnection() override;
    // Closes the meter-server connection; unless noReset, metering stays off until started.
    void MeteringStop(bool noReset) override;
    void EndProgram() override;

    const RuntimeTimings m_timings;
    std::unique_ptr<UserPrompt> m_ownPrompt;
    UserPrompt& m_prompt;
    AppGlobals m_globals;
    AddressLookup m_addresses;
    clsCVCoreConnection* m_MasterSocket = nullptr;
    ClientProtocolParser m_parser;
    OperatorMessages m_messages; // the Core's messages for the operator, shown in turn
    ProgramData m_programData;
    QTimer m_timUPPing{this};
    QTimer m_timForceVisible{this};
    QTimer m_timFlash{this};
    QTimer m_timCheckFader{this};
    PanelState m_panel;
    ControlArrays m_arrays;
    MeterRoutes m_meterRoutes{m_panel};
    PropertyChanges m_propertyChanges{m_panel, m_arrays};
    ButtonActions m_buttonActions{m_panel, m_arrays, *this};
    PanelCommands m_panelCommands{m_panel, *this};
    CoreMeterData m_coreMeterData{m_meterRoutes, m_globals};
    FlashCycle m_flashCycle{m_panel};
    FormBuilder m_formBuilder{m_panel, m_arrays, this, this};
    frmMeterWinsock* m_MeterWinsock = nullptr;
    FaderActions* m_faderActions = nullptr;
    DeskView* m_deskView = nullptr;
    ConnectionMarks* m_marks = nullptr;
    QPointer<AboutBox> m_splash;
    bool m_unloaded = false;
    bool m_positionPlaced = false; // start-up has moved the window to its saved position
    bool m_programEnded = false;
    QPointer<frmDebug> m_debugWindow;
    DeferredShutdown m_shutdown{this, [this] { Form_Unload(); }};
};

} // namespace corvane
