#pragma once

#include "app/DeferredShutdown.h"
#include "app/ProgramConfig.h"
#include "meters/MeterRoutes.h"
#include "panel/ControlArrays.h"
#include "panel/PanelState.h"
#include "protocol/ClientProtocolParser.h"
#include "protocol/FrameSender.h"
#include "protocol/ProtocolHandlers.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

namespace corvane {

class clsCVCoreConnection;
class ConnectionMarks;
class DeskView;
class frmDebug;
class FaderActions;
class frmMeterWinsock;

// The main window: it is the program. Start-up reads the configuration and the window
// position and starts hunting for a Core; from then on the Core connection's events drive it.
// It carries out what the client protocol's dispatcher asks of it (ProtocolHandlers).
class frmCVMini : public QWidget, public ProtocolHandlers, public FrameSender {
    Q_OBJECT
public:
    explicit frmCVMini(QWidget* parent = nullptr);
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

    clsCVCoreConnection* MasterSocket() const { return m_MasterSocket; }
    const ProgramData& programData() const { return m_programData; }
    const QString& strGraphicsPath() const { return m_panel.strGraphicsPath; }
    const QString& strPendingMessages() const { return m_strPendingMessages; }
    QTimer& timMessage() { return m_timMessage; }
    QTimer& timUPPing() { return m_timUPPing; }
    QTimer& timForceVisible() { return m_timForceVisible; }
    QTimer& timCheckFader() { return m_timCheckFader; }
    // The meter-server client and the strips' operator side.
    frmMeterWinsock* MeterWinsock() const { return m_MeterWinsock; }
    FaderActions& faderActions() { return *m_faderActions; }
    // Scale and full screen of the panel; the connection's state shown on it.
    DeskView& deskView() { return *m_deskView; }
    ConnectionMarks& connectionMarks() { return *m_marks; }
    QTimer& timFlash() { return m_timFlash; }

    // The panel: records, meter points and the window's control arrays.
    PanelState& panel() { return m_panel; }
    // The receive side of the client protocol, with its buffer of unfinished text.
    const ClientProtocolParser& parser() const { return m_parser; }
    ControlArrays& controlArrays() { return m_arrays; }

    // Reads a panel definition and builds (or adds to) the panel from it.
    void AnalyzeXML(QStringView definition);
    void BuildForm();
    void RunLoadScript();
    void SetControlGraphic(clsUPControl& record);
    QString ReplaceValueInCommand(const QString& commandText) const;
    void SendControlCommand(const QString& controlName, const QString& commandText);
    void SendButtonPush(const QString& controlName, bool pushed);
    // Presses and releases of any mouse button on element `index` of butCommand.
    void butCommand_MouseDown(int index);
    void butCommand_MouseUp(int index);
    void timFlash_Timer();
    // Subscribes a meter point at the Core (command 19) and at the meter server.
    void SendMeterSubscription(qint32 router, qint32 io, bool isSource);
    // Pass a meter point on to the meter-server client; failures there are ignored.
    void SubscribeMeterOnMeterServ(qint32 router, qint32 io, bool isDest);
    void UnsubscribeMeterOnMeterServ(qint32 router, qint32 io, bool isDest);

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
    void MeteringStart(const QString& host, quint16 port) override;
    void HideConnecting() override;
    void UpdateAddressLookup(qint32 router, qint32 io, bool isDest,
                             const QString& address) override;
    void CheckMeterConnection(qint32 router, qint32 io) override;

    // Closes the meter-server connection; unless noReset, metering stays off until started.
    void MeteringStop(bool noReset);

    static QString applicationTitle();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void MasterSocket_Connected();
    void MasterSocket_Closed();
    void MasterSocket_ReceivedData(const QString& strNewData);
    void Form_GotFocus();
    void makeAlwaysOnTop();
    void SaveStartPosition();
    void timUPPing_Timer();
    void timMessage_Timer();
    void timForceVisible_Timer();
    void ShowDebugWindow();
    void RequestShutdown();
    void EndProgram();
    void showMeterConnection();
    void timCheckFader_Timer();

    clsCVCoreConnection* m_MasterSocket = nullptr;
    ClientProtocolParser m_parser;
    ProgramData m_programData;
    QString m_strPendingMessages;
    QTimer m_timMessage;
    QTimer m_timUPPing;
    QTimer m_timForceVisible;
    QTimer m_timFlash;
    PanelState m_panel;
    ControlArrays m_arrays;
    MeterRoutes m_meterRoutes{m_panel};
    frmMeterWinsock* m_MeterWinsock = nullptr;
    FaderActions* m_faderActions = nullptr;
    QTimer m_timCheckFader;
    DeskView* m_deskView = nullptr;
    ConnectionMarks* m_marks = nullptr;
    bool m_unloaded = false;
    bool m_positionPlaced = false; // start-up has moved the window to its saved position
    bool m_programEnded = false;
    bool m_showingMessages = false; // timMessage has a message box open
    QPointer<frmDebug> m_debugWindow;
    DeferredShutdown m_shutdown{this, [this] { Form_Unload(); }};
};

} // namespace corvane
