#include "app/frmCVMini.h"

#include "app/CommandLine.h"
#include "app/ServerTable.h"
#include "app/StartPosition.h"
#include "connection/clsCVCoreConnection.h"
#include "connection/frmConnecting.h"
#include "panel/ControlProperties.h"
#include "panel/FormBuilder.h"
#include "panel/PanelDefinitionReader.h"
#include "panel/PanelPayload.h"
#include "protocol/ClientProtocolConsts.h"
#include "protocol/FrameBuilder.h"
#include "runtime/ControlGraphics.h"
#include "runtime/PanelCommands.h"
#include "support/AddressLookup.h"
#include "support/AppGlobals.h"
#include "support/DataMod.h"
#include "support/MemoryRelease.h"
#include "support/Twips.h"
#include "support/UserPrompt.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QRandomGenerator>

namespace corvane {

namespace {
// The first keep-alive goes 10 s after the first panel build; later ones at a random interval
// of 10 to 30 s, drawn once.
constexpr int kFirstKeepAliveMs = 10000;
constexpr int kKeepAliveSpreadMs = 20001;
} // namespace

frmCVMini::frmCVMini(QWidget* parent) : QWidget(parent), m_parser(*this) {
    setObjectName(QStringLiteral("frmCVMini"));
    setWindowTitle(applicationTitle());
    m_timMessage.setInterval(250);
    m_timMessage.setSingleShot(true);
    m_timUPPing.setInterval(kFirstKeepAliveMs);
    connect(&m_timUPPing, &QTimer::timeout, this, &frmCVMini::timUPPing_Timer);
    m_timForceVisible.setInterval(1000);
    m_timForceVisible.setSingleShot(true);
    connect(&m_timForceVisible, &QTimer::timeout, this, &frmCVMini::timForceVisible_Timer);
    m_arrays.createTemplates(this);
}

frmCVMini::~frmCVMini() = default;

QString frmCVMini::applicationTitle() {
    return QStringLiteral("Corvane Mini");
}

bool frmCVMini::Form_Load(const QStringList& arguments) {
    AppGlobals& globals = appGlobals();
    globals.boolUseComma = CheckUseComma();
    globals.boolCoreMeterMode = false;
    globals.intMeterServerPort = 9501;
    globals.intMeterPollValue = 120;

    m_MasterSocket = new clsCVCoreConnection(this);
    m_MasterSocket->setMainWindow(this);
    connect(m_MasterSocket, &clsCVCoreConnection::Connected, this,
            &frmCVMini::MasterSocket_Connected);
    connect(m_MasterSocket, &clsCVCoreConnection::Closed, this, &frmCVMini::MasterSocket_Closed);
    connect(m_MasterSocket, &clsCVCoreConnection::ReceivedData, this,
            &frmCVMini::MasterSocket_ReceivedData);

    const CommandLineSwitches switches = ParseCommandLine(ArgumentText(arguments));
    globals.boolCoreMeterMode = switches.coreMeterMode;

    InitializeClientProtocolConsts();
    QCoreApplication::processEvents();

    const StartPosition position = GetStartPosition(kPositionFileName);
    move(twipsToPixels(position.left), twipsToPixels(position.top));

    m_panel.strGraphicsPath =
        QDir::current().filePath(QStringLiteral("PanelGraphics")) + QLatin1Char('/');

    m_programData = ProgramData{};
    setCursor(Qt::WaitCursor);
    show();
    QCoreApplication::processEvents();

    const ConfigOutcome outcome =
        LoadProgramData(kConfigFileName, m_programData, [this] { makeAlwaysOnTop(); });
    if (outcome == ConfigOutcome::Empty) {
        UserPrompt::showMessage(this, applicationTitle(),
                                QStringLiteral("There is no config file. Corvane Mini will now "
                                               "shut down."));
        m_unloaded = true; // the program ends without connecting or saving anything
        return false;
    }
    globals.strUserName = m_programData.strUserName;
    globals.strUserPassword = m_programData.strUserPassword;

    m_MasterSocket->ShowConnecting(m_programData.strPrimaryHost);

    const QList<ServerRow> table =
        PrepareConnectList(m_programData.collServerEntries, m_programData.strPrimaryHost,
                           QString::number(m_programData.intPrimaryPort));
    const quint16 corePort = m_programData.intPrimaryPort > 0
                                 ? static_cast<quint16>(m_programData.intPrimaryPort)
                                 : CoreConnector::kDefaultCorePort;
    m_MasterSocket->connector()->setCorePort(corePort);
    m_MasterSocket->StartHunting(HuntHosts(table, corePort));

    if (!globals.boolShuttingDown) {
        unsetCursor();
    }
    return true;
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
    QTimer::singleShot(0, this, [] {
        frmConnecting* connecting = frmConnecting::find();
        if (connecting && connecting->isVisible()) {
            connecting->raise();
            connecting->activateWindow();
        }
    });
}

void frmCVMini::MasterSocket_Connected() {
    m_MasterSocket->SendCvpCommand(BuildFrame(Command::PanelDefinition,
                                              modClientProtocolConsts::strNoAddress,
                                              m_programData.strPanelName));
}

void frmCVMini::MasterSocket_Closed() {
    // The panel stays on screen as it was; only metering stops until the next panel.
    MeteringStop(false);
}

void frmCVMini::MasterSocket_ReceivedData(const QString& strNewData) {
    m_parser.receive(strNewData);
}

void frmCVMini::StopMetering() {
    MeteringStop(false);
}

void frmCVMini::MeteringStop(bool /*noReset*/) {}

void frmCVMini::AppendPendingMessage(const QString& text) {
    m_strPendingMessages += text;
    m_timMessage.start();
}

void frmCVMini::CheckUPMeterAbilities(qint32, qint32, bool, const QString&) {}

void frmCVMini::CheckUPMeterAddOns(qint32, qint32, bool, const QString&) {}

void frmCVMini::CheckUserFormMeters(const QString&) {}

void frmCVMini::ChangePanelProperty(const QString&) {}

void frmCVMini::SetConnectingLabelLoading() {
    if (frmConnecting* connecting = frmConnecting::find()) {
        connecting->lblConnecting()->setText(QStringLiteral("Loading"));
    }
}

void frmCVMini::UpdateUserPanel(const QString& payload) {
    const auto parts = SplitPanelPayload(payload);
    if (!parts) {
        return;
    }
    ControlProperties::SetCaption(this, parts->title);
    AnalyzeXML(parts->definition);
}

void frmCVMini::AnalyzeXML(const QString& definition) {
    PanelDefinitionReader reader(m_panel);
    if (!reader.AnalyzeXML(definition)) {
        return; // a value that could not be converted: nothing is built from this delivery
    }
    BuildForm();
    RunLoadScript();
    m_timForceVisible.start();
    // Once this delivery's text and parsed document are gone, their memory goes back.
    QTimer::singleShot(0, this, [] { ReleaseFreedMemory(); });
}

void frmCVMini::BuildForm() {
    FormBuilder::Hooks hooks;
    hooks.SendMeterSubscription = [this](qint32 router, qint32 io, bool isSource) {
        SendMeterSubscription(router, io, isSource);
    };
    hooks.SetControlGraphic = [this](clsUPControl& record) { SetControlGraphic(record); };
    hooks.EnableUPPing = [this] {
        if (!m_timUPPing.isActive()) {
            m_timUPPing.start();
        }
    };
    FormBuilder(m_panel, m_arrays, this, std::move(hooks)).BuildForm();
}

void frmCVMini::RunLoadScript() {
    PanelCommands(m_panel, *this).RunLoadScript();
}

void frmCVMini::SetControlGraphic(clsUPControl& record) {
    corvane::SetControlGraphic(record, m_panel);
}

void frmCVMini::SendMeterSubscription(qint32 router, qint32 io, bool isSource) {
    SendCvpCommand(BuildFrame(Command::MeterSubscription, PointAddressBlock(router, io, isSource)));
    SubscribeMeterOnMeterServ(router, io, !isSource);
}

void frmCVMini::SubscribeMeterOnMeterServ(qint32, qint32, bool) {}

void frmCVMini::SendCvpCommand(const QString& frame) {
    if (m_MasterSocket) {
        m_MasterSocket->SendCvpCommand(frame);
    }
}

void frmCVMini::timUPPing_Timer() {
    if (m_timUPPing.interval() == kFirstKeepAliveMs) {
        m_timUPPing.stop();
        m_timUPPing.setInterval(kFirstKeepAliveMs +
                                QRandomGenerator::global()->bounded(kKeepAliveSpreadMs));
        m_timUPPing.start();
    }
    if (m_MasterSocket &&
        m_MasterSocket->GetConnectionState() == clsCVCoreConnection::kStateConnected) {
        SendCvpCommand(BuildFrame(Command::KeepAlive, modClientProtocolConsts::strNoAddress,
                                  m_panel.windowTag));
    }
}

void frmCVMini::timForceVisible_Timer() {
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

void frmCVMini::MeteringStart(const QString&, qint16) {}

void frmCVMini::HideConnecting() {
    if (m_MasterSocket) {
        m_MasterSocket->HideConnecting();
    }
}

void frmCVMini::UpdateAddressLookup(qint32 router, qint32 io, bool isDest, const QString& address) {
    colAddressLookup().UpdateAddressLookup(router, io, isDest, address);
}

void frmCVMini::CheckMeterConnection(qint32, qint32) {}

void frmCVMini::SaveStartPosition() {
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) {
        return; // keep the position of the normal window
    }
    corvane::SaveStartPosition(kPositionFileName, static_cast<float>(pixelsToTwips(x())),
                               static_cast<float>(pixelsToTwips(y())));
}

void frmCVMini::closeEvent(QCloseEvent* event) {
    event->accept();
    if (m_unloaded) {
        return;
    }
    m_unloaded = true;
    appGlobals().boolShuttingDown = true;
    m_timMessage.stop();
    m_timUPPing.stop();
    if (m_MasterSocket) {
        m_MasterSocket->HideConnecting();
    }
    SaveStartPosition();
    if (m_MasterSocket) {
        m_MasterSocket->CloseMasterConnection();
    }
    MeteringStop(false);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this) {
            window->close();
        }
    }
    QCoreApplication::quit();
}

} // namespace corvane
