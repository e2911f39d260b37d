#include "app/frmCVMini.h"

#include "app/CommandLine.h"
#include "app/DeskView.h"
#include "app/ScreenPlacement.h"
#include "app/ServerTable.h"
#include "app/ShutdownSequence.h"
#include "app/StartPosition.h"
#include "connection/clsCVCoreConnection.h"
#include "connection/frmConnecting.h"
#include "meters/frmMeterWinsock.h"
#include "panel/ControlProperties.h"
#include "panel/FormBuilder.h"
#include "panel/PanelButton.h"
#include "panel/PanelDefinitionReader.h"
#include "panel/PanelPayload.h"
#include "protocol/ClientProtocolConsts.h"
#include "protocol/FrameBuilder.h"
#include "runtime/ButtonActions.h"
#include "runtime/CommandValues.h"
#include "runtime/ConnectionMarks.h"
#include "runtime/ControlGraphics.h"
#include "runtime/CoreMeterData.h"
#include "runtime/FaderActions.h"
#include "runtime/FlashCycle.h"
#include "runtime/MetersWithoutData.h"
#include "runtime/PanelCommands.h"
#include "runtime/PanelMeterPoints.h"
#include "runtime/PropertyChanges.h"
#include "support/AboutBox.h"
#include "support/DataMod.h"
#include "support/LogCategories.h"
#include "support/MemoryRelease.h"
#include "support/MeterKey.h"
#include "support/Twips.h"
#include "support/UserPrompt.h"
#include "support/WebRendering.h"
#include "support/frmDebug.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QRandomGenerator>
#include <QThread>
#include <QTime>

#include <exception>

namespace corvane {

frmCVMini::frmCVMini(const RuntimeTimings& timings, UserPrompt* prompt, QWidget* parent)
    : QWidget(parent), m_timings(timings),
      m_ownPrompt(prompt ? nullptr : std::make_unique<UserPrompt>()),
      m_prompt(prompt ? *prompt : *m_ownPrompt),
      m_parser(*this, ReceiveBuffer::kDefaultMaxTail, this),
      m_messages(
          this, m_timings.messageTickMs,
          [this](const QString& text) { m_prompt.showMessage(this, applicationTitle(), text); },
          [this] { return m_globals.boolShuttingDown; }, [this] { timMessage_Timer(); }) {
    setObjectName(QStringLiteral("frmCVMini"));
    setWindowTitle(applicationTitle());
    // Named, so that whoever looks at the window's parts can find them.
    m_timUPPing.setObjectName(QStringLiteral("timUPPing"));
    m_timUPPing.setInterval(m_timings.firstKeepAliveMs);
    connect(&m_timUPPing, &QTimer::timeout, this, &frmCVMini::timUPPing_Timer);
    m_timForceVisible.setObjectName(QStringLiteral("timForceVisible"));
    m_timForceVisible.setInterval(m_timings.forceVisibleMs);
    m_timForceVisible.setSingleShot(true);
    connect(&m_timForceVisible, &QTimer::timeout, this, &frmCVMini::timForceVisible_Timer);
    m_timCheckFader.setObjectName(QStringLiteral("timCheckFader"));
    m_timCheckFader.setInterval(m_timings.faderPollMs);
    connect(&m_timCheckFader, &QTimer::timeout, this, &frmCVMini::timCheckFader_Timer);
    m_timFlash.setObjectName(QStringLiteral("timFlash"));
    m_timFlash.setInterval(m_timings.flashMs);
    connect(&m_timFlash, &QTimer::timeout, this, &frmCVMini::timFlash_Timer);
    m_timFlash.start();
    m_arrays.createTemplates(this);

    m_MeterWinsock = new frmMeterWinsock(
        *this, m_meterRoutes, [this] { return PanelMeterPoints(m_panel); }, m_addresses, m_timings,
        &frmMeterWinsock::monotonicMs, this);
    m_faderActions =
        new FaderActions(m_panel, m_arrays, *this, m_addresses, m_timings.faderLockMs, this);
    // Levels from the meter server stop: the meters must not go on showing the last ones. In
    // core metering mode the levels come from the Core, whose loss is handled on its own.
    connect(m_MeterWinsock, &frmMeterWinsock::levelsLost, this, [this] {
        if (!m_globals.boolCoreMeterMode) {
            ShowMetersWithoutData(m_arrays, this, m_globals);
        }
        showMeterConnection();
    });
    connect(m_MeterWinsock, &frmMeterWinsock::levelsBack, this, &frmCVMini::showMeterConnection);
    m_deskView = new DeskView(this);
    m_marks = new ConnectionMarks(
        this, [this](int top, int bottom) { m_deskView->setRoom(top, bottom); }, this);
    connect(m_deskView, &DeskView::laidOut, m_marks, &ConnectionMarks::relayout);
}

// The "No meter data" mark follows the meter server's connection while metering is meant to
// run on it; with core metering the Core's levels still reach the meters.
void frmCVMini::showMeterConnection() {
    const bool runs =
        m_MeterWinsock->IsRunning() && !m_globals.boolCoreMeterMode && !m_globals.boolShuttingDown;
    m_marks->meterState(runs, m_MeterWinsock->isConnected());
}

frmCVMini::~frmCVMini() {
    // A button still held reports its release as the window hides at its end, when the panel
    // it would be reported from is gone.
    for (int index = 1; index < m_arrays.butCommand.count(); ++index) {
        if (PanelButton* button = m_arrays.butCommand.at(index)) {
            button->disconnect(this);
        }
    }
    // Both work on the panel and the routes, which go before the window's children do.
    delete m_faderActions;
    delete m_MeterWinsock;
}

QString frmCVMini::applicationTitle() {
    return QStringLiteral("Corvane Mini");
}

bool frmCVMini::Form_Load(const QStringList& arguments) {
    const ProgramOptions options =
        ParseProgramArguments(QStringList(QStringLiteral("corvane-mini")) + arguments).options;

    m_MasterSocket = new clsCVCoreConnection(m_timings.coreConnection, this);
    m_MasterSocket->setMainWindow(this);
    connect(m_MasterSocket, &clsCVCoreConnection::Connected, this,
            &frmCVMini::MasterSocket_Connected);
    connect(m_MasterSocket, &clsCVCoreConnection::Closed, this, &frmCVMini::MasterSocket_Closed);
    connect(m_MasterSocket, &clsCVCoreConnection::ReceivedData, this,
            &frmCVMini::MasterSocket_ReceivedData);
    connect(m_MasterSocket, &clsCVCoreConnection::TryingCore, m_marks,
            &ConnectionMarks::tryingCore);

    m_globals.boolCoreMeterMode = options.switches.coreMeterMode;
    if (options.switches.showDebugWindow) {
        ShowDebugWindow();
    }
    const QString configFile = EnterProgramFolder(options);

    InitializeClientProtocolConsts();
    // The splash and the window paint when the event loop starts; a close that comes meanwhile
    // is handled then, once start-up has finished.
    m_splash = new AboutBox(this);
    m_splash->show();
    m_splash->SetFocusTimer()->start();

    const StartPosition position = GetStartPosition(kPositionFileName);
    move(ReachableWindowPosition(QPoint(twipsToPixels(position.left), twipsToPixels(position.top)),
                                 size()));
    m_positionPlaced = true;

    m_panel.strGraphicsPath =
        QDir::current().filePath(QStringLiteral("PanelGraphics")) + QLatin1Char('/');

    m_programData = ProgramData{};
    setCursor(Qt::WaitCursor);
    show();
    if (m_debugWindow) {
        m_debugWindow->placeBeside(this);
    }

    const ConfigOutcome outcome =
        LoadProgramData(configFile, m_programData, [this] { makeAlwaysOnTop(); });
    if (outcome == ConfigOutcome::Empty) {
        m_prompt.showMessage(this, applicationTitle(),
                             QStringLiteral("There is no config file. Corvane Mini will now "
                                            "shut down."));
        m_unloaded = true; // the program ends without connecting or saving anything
        return false;
    }
    ApplyProgramOptions(options, m_programData);
    m_deskView->configure(m_programData.panelScale, m_programData.boolFullScreen);
    // Before any panel, and so before any web view, is built.
    PrepareWebRendering(m_programData.webRendering);
    m_MasterSocket->setCredentials(m_programData.strUserName, m_programData.strUserPassword);
    m_timCheckFader.start();

    m_MasterSocket->ShowConnecting(m_programData.strPrimaryHost);

    const CoreHunt hunt =
        HuntForConfiguration(m_programData.collServerEntries, m_programData.strPrimaryHost,
                             m_programData.intPrimaryPort);
    m_MasterSocket->connector()->setCorePort(hunt.corePort);
    m_MasterSocket->StartHunting(hunt.hosts);

    if (m_globals.boolShuttingDown) {
        return false;
    }
    unsetCursor();
    if (m_splash) {
        m_splash->UnloadTimer()->start();
    }
    return true;
}

void frmCVMini::ShowDebugWindow() {
    auto* debug = new frmDebug(this);
    m_debugWindow = debug;
    debug->show();
    connect(
        m_MasterSocket, &clsCVCoreConnection::DebugMessage, debug, [debug](const QString& line) {
            debug->AddMessage(QTime::currentTime().toString(QStringLiteral("hh:mm:ss ")) + line);
        });
}

void frmCVMini::makeAlwaysOnTop() {
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (wasVisible) {
        show(); // changing the window's flags hides it
    }
}

void frmCVMini::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        Form_GotFocus();
    }
}

void frmCVMini::Form_GotFocus() {
    // While a Core is being looked for, the "Connecting" window stays in front. The hand-over
    // waits until the main window's own activation has finished, or that would win.
    QTimer::singleShot(0, this, [this] {
        frmConnecting* connecting = m_MasterSocket ? m_MasterSocket->connectingWindow() : nullptr;
        if (connecting && connecting->isVisible()) {
            connecting->raise();
            connecting->activateWindow();
        }
    });
}

void frmCVMini::MasterSocket_Connected() {
    const DeferredShutdown::HandlerScope handler(m_shutdown);
    if (m_globals.boolShuttingDown) {
        return; // no panel is asked for once the program is ending
    }
    // A frame the lost connection left unfinished is never completed: kept, it would take the
    // new Core's first frame (its panel) into its own payload and both would be lost.
    m_parser.clear();
    m_MasterSocket->SendCvpCommand(BuildFrame(Command::PanelDefinition,
                                              modClientProtocolConsts::strNoAddress,
                                              m_programData.strPanelName));
}

void frmCVMini::MasterSocket_Closed() {
    const DeferredShutdown::HandlerScope handler(m_shutdown);
    // The panel stays on screen as it was; only metering stops until the next panel, and
    // the meters show that they have no levels, wherever their levels came from.
    MeteringStop(false);
    ShowMetersWithoutData(m_arrays, this, m_globals);
    if (!m_globals.boolShuttingDown) {
        m_marks->coreLost(m_MasterSocket->ServerText(m_MasterSocket->MasterRemoteHost()));
    }
}

void frmCVMini::MasterSocket_ReceivedData(const QString& strNewData) {
    const DeferredShutdown::HandlerScope handler(m_shutdown);
    if (m_globals.boolShuttingDown) {
        return; // the panel is being released: a late definition must not subscribe it again
    }
    m_parser.receive(strNewData);
}

void frmCVMini::StopMetering() {
    MeteringStop(false);
}

void frmCVMini::MeteringStop(bool noReset) {
    m_MeterWinsock->MeteringStop(noReset);
}

void frmCVMini::AppendPendingMessage(const QString& text) {
    m_messages.append(text);
}

void frmCVMini::CheckUPMeterAbilities(qint32 router, qint32 io, bool isDest,
                                      const QString& payload) {
    m_coreMeterData.CheckUPMeterAbilities(router, io, isDest, payload);
}

void frmCVMini::CheckUPMeterAddOns(qint32 router, qint32 io, bool isDest, const QString& payload) {
    m_coreMeterData.CheckUPMeterAddOns(router, io, isDest, payload);
}

void frmCVMini::CheckUserFormMeters(const QString& payload) {
    m_coreMeterData.CheckUserFormMeters(payload);
}

void frmCVMini::ChangePanelProperty(const QString& payload) {
    m_propertyChanges.ChangePanelProperty(payload);
}

void frmCVMini::SetConnectingLabelLoading() {
    if (frmConnecting* connecting = m_MasterSocket ? m_MasterSocket->connectingWindow() : nullptr) {
        connecting->lblConnecting()->setText(QStringLiteral("Loading"));
    }
}

void frmCVMini::UpdateUserPanel(const QString& payload) {
    const auto parts = SplitPanelPayloadView(payload);
    if (!parts) {
        return;
    }
    ControlProperties::SetCaption(this, parts->title.toString());
    AnalyzeXML(parts->definition);
}

void frmCVMini::AnalyzeXML(QStringView definition) {
    // A button held through a new delivery has its release reported first, once.
    m_buttonActions.releaseHeldButtons();
    m_meterRoutes.invalidate(); // the definition may add controls and meter points
    PanelDefinitionReader reader(m_panel);
    if (!reader.AnalyzeXML(definition)) {
        return; // a value that could not be converted: nothing is built from this delivery
    }
    BuildForm();
    m_panelCommands.RunLoadScript();
    // At its scale on its screen; after a loss of the Core the panel is current again.
    m_deskView->panelBuilt();
    m_marks->panelBuilt();
    m_timForceVisible.start();
    // Once this delivery's text and parsed document are gone, their memory goes back.
    QTimer::singleShot(0, this, [] { ReleaseFreedMemory(); });
}

void frmCVMini::BuildForm() {
    m_formBuilder.BuildForm();
    m_faderActions->connectStrips();
}

void frmCVMini::ButtonLoaded(PanelButton& button, int index) {
    connect(&button, &PanelButton::pressedByOperator, this,
            [this, index] { butCommand_MouseDown(index); });
    connect(&button, &PanelButton::releasedByOperator, this,
            [this, index] { butCommand_MouseUp(index); });
}

void frmCVMini::EnableUPPing() {
    if (!m_timUPPing.isActive()) {
        m_timUPPing.start();
    }
}

void frmCVMini::SetControlGraphic(clsUPControl& record) {
    corvane::SetControlGraphic(record, m_panel);
}

void frmCVMini::butCommand_MouseDown(int index) {
    const DeferredShutdown::HandlerScope handler(m_shutdown);
    m_buttonActions.butCommand_MouseDown(index);
}

void frmCVMini::butCommand_MouseUp(int index) {
    const DeferredShutdown::HandlerScope handler(m_shutdown);
    m_buttonActions.butCommand_MouseUp(index);
}

void frmCVMini::timFlash_Timer() {
    const DeferredShutdown::HandlerScope handler(m_shutdown);
    m_flashCycle.FlashControls();
}

void frmCVMini::SendMeterSubscription(qint32 router, qint32 io, bool isSource) {
    SendCvpCommand(MeterSubscriptionFrame(router, io, isSource));
    m_MeterWinsock->SubscribeToMeter({router, io, !isSource});
}

void frmCVMini::UnsubscribeMeterOnMeterServ(qint32 router, qint32 io, bool isDest) {
    m_MeterWinsock->UnsubscribeFromMeter({router, io, isDest});
}

void frmCVMini::SendCvpCommand(const QString& frame) {
    if (m_MasterSocket) {
        m_MasterSocket->SendCvpCommand(frame);
    }
}

void frmCVMini::timUPPing_Timer() {
    const DeferredShutdown::HandlerScope handler(m_shutdown);
    if (m_timUPPing.interval() == m_timings.firstKeepAliveMs) {
        m_timUPPing.stop();
        m_timUPPing.setInterval(m_timings.firstKeepAliveMs +
                                QRandomGenerator::global()->bounded(m_timings.keepAliveSpreadMs));
        m_timUPPing.start();
    }
    if (m_MasterSocket &&
        m_MasterSocket->GetConnectionState() == clsCVCoreConnection::kStateConnected) {
        SendCvpCommand(BuildFrame(Command::KeepAlive, modClientProtocolConsts::strNoAddress,
                                  m_panel.windowTag));
    }
}

void frmCVMini::timMessage_Timer() {
    const DeferredShutdown::HandlerScope handler(m_shutdown);
    m_messages.showPending();
}

void frmCVMini::timCheckFader_Timer() {
    const DeferredShutdown::HandlerScope handler(m_shutdown);
    m_faderActions->timCheckFader_Timer();
}

void frmCVMini::timForceVisible_Timer() {
    const DeferredShutdown::HandlerScope handler(m_shutdown);
    m_timForceVisible.stop();
    for (auto& entry : m_panel.collControls) {
        if (entry.value && entry.value->pntrControl) {
            entry.value->pntrControl->setVisible(true);
        }
    }
}

QString frmCVMini::MasterRemoteHost() {
    return m_MasterSocket ? m_MasterSocket->MasterRemoteHost() : QString();
}

void frmCVMini::MeteringStart(const QString& host) {
    m_MeterWinsock->MeteringStart(host, m_programData.intMeterServerPort);
}

void frmCVMini::HideConnecting() {
    if (m_MasterSocket) {
        m_MasterSocket->HideConnecting();
    }
}

void frmCVMini::UpdateAddressLookup(qint32 router, qint32 io, bool isDest, const QString& address) {
    if (!m_addresses.UpdateAddressLookup(router, io, isDest, address)) {
        // Checked now, the subscription would ask for the address again at once, and a Core
        // that keeps answering so would be asked without end. The regular check asks later.
        return;
    }
    // A subscription that waited for the address goes out now.
    try {
        m_MeterWinsock->CheckMeterSubscription(MeterKey(router, io, isDest));
    } catch (const std::exception&) {
        // The stored address stands; the regular check sends the subscription later.
    }
}

void frmCVMini::CheckMeterConnection(qint32 router, qint32 io) {
    m_MeterWinsock->CheckConnection(router, io);
}

void frmCVMini::SaveStartPosition() {
    if (!m_positionPlaced) {
        return; // never placed: where it stands says nothing about where the operator put it
    }
    if ((windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) ||
        m_deskView->isFullScreen()) {
        return; // keep the position of the normal window
    }
    corvane::SaveStartPosition(kPositionFileName, static_cast<float>(pixelsToTwips(x())),
                               static_cast<float>(pixelsToTwips(y())));
}

void frmCVMini::closeEvent(QCloseEvent* event) {
    event->accept();
    RequestShutdown();
}

void frmCVMini::RequestShutdown() {
    if (m_unloaded) {
        return;
    }
    // From here on nothing more is shown or handled: the frames left in the arrival being
    // handled are dropped, and an open message box goes without waiting for a click.
    m_globals.boolShuttingDown = true;
    m_parser.stop();
    m_prompt.dismissOpen();
    if (m_splash) {
        m_splash->programEnding();
    }
    m_shutdown.request();
}

void frmCVMini::Form_Unload() {
    if (m_unloaded) {
        return;
    }
    m_unloaded = true;
    // No other Core is looked for while the program ends; a live connection stays until the
    // unsubscribe messages have left, and with them the release of a button still held.
    if (m_MasterSocket) {
        m_MasterSocket->connector()->StopHunting();
    }
    m_buttonActions.releaseHeldButtons();
    m_globals.boolShuttingDown = true;
    ShutdownSequence(m_panel, m_arrays, *this, this, *this, m_timings.shutdownSendWaitMs).run();
}

void frmCVMini::CloseStartWindows() {
    if (m_splash) {
        m_splash->UnloadTimer()->stop();
        m_splash->SetFocusTimer()->stop();
        delete m_splash.data();
    }
    if (m_MasterSocket) {
        m_MasterSocket->HideConnecting();
    }
}

void frmCVMini::StopTimers() {
    m_timUPPing.stop();
    m_messages.stop();
    m_timCheckFader.stop();
    m_timFlash.stop();
}

void frmCVMini::CloseMasterConnection() {
    if (m_MasterSocket) {
        m_MasterSocket->CloseMasterConnection();
    }
}

void frmCVMini::EndProgram() {
    m_programEnded = true;
    // Before the event loop runs (a close during start-up) an exit request would be forgotten;
    // Form_Load then tells main() instead.
    if (QThread::currentThread()->loopLevel() > 0) {
        QCoreApplication::exit(0);
    }
}

} // namespace corvane
