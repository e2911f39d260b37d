#include "connection/clsCVCoreConnection.h"

#include "connection/CoreAddress.h"
#include "connection/frmConnecting.h"
#include "protocol/FrameBuilder.h"
#include "protocol/FrameTrace.h"
#include "support/LogCategories.h"
#include "support/Twips.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

namespace corvane {

namespace {
// Where the "Connecting" window sits relative to the main window's top-left corner.
constexpr double kConnectingLeftTwips = 100;
constexpr double kConnectingTopTwips = 400;
} // namespace

clsCVCoreConnection::clsCVCoreConnection(const CoreConnectorTimings& timings, QObject* parent)
    : QObject(parent), m_Connector(new CoreConnector(timings, this)) {
    connect(m_Connector, &CoreConnector::ConnectedChanged, this,
            &clsCVCoreConnection::m_Connector_ConnectedChanged);
    connect(m_Connector, &CoreConnector::HuntSwitched, this,
            &clsCVCoreConnection::m_Connector_HuntSwitched);
    connect(m_Connector, &CoreConnector::MessageToClient, this,
            &clsCVCoreConnection::m_Connector_MessageToClient);
    // Diagnostics only: shown in the debug window and logged, never acted on.
    connect(m_Connector, &CoreConnector::DebugMessage, this, &clsCVCoreConnection::report);
}

clsCVCoreConnection::~clsCVCoreConnection() {
    m_Connector->ShutDown();
    // The window was shown on our behalf; it must not outlive the connection it reports on.
    if (qApp != nullptr) {
        HideConnecting();
    }
}

void clsCVCoreConnection::setMainWindow(QWidget* mainWindow) {
    m_mainWindow = mainWindow;
}

void clsCVCoreConnection::setCredentials(const QString& userName, const QString& password) {
    m_userName = userName;
    m_password = password;
}

void clsCVCoreConnection::SendCvpCommand(const QString& data) {
    // Every frame to the Core passes here. One whose address block is not twelve hexadecimal
    // digits (a router or I/O number out of range) would be misread by the Core: it stays here.
    if (!HasValidAddressBlock(data)) {
        qCWarning(lcProtocol).noquote()
            << "Frame not sent: its address block is not 12 hexadecimal digits:"
            << QStringView(data).mid(0, 40).toString().toUtf8().toPercentEncoding(" .,:;_-");
        return;
    }
    qCDebug(lcProtocol).noquote() << "out" << DescribeFrame(data);
    m_Connector->SendCvpMessageToCore(data);
}

qint16 clsCVCoreConnection::GetConnectionState() const {
    return m_connected ? kStateConnected : kStateClosed;
}

void clsCVCoreConnection::StartHunting(const QStringList& connections) {
    for (const QString& host : connections) {
        m_Connector->AddServerToHunt(host);
    }
    m_Connector->StartHunting(m_userName, m_password);
}

void clsCVCoreConnection::CloseMasterConnection() {
    m_Connector->StopHunting();
    m_Connector->Disconnect();
}

void clsCVCoreConnection::MasterConnect() {
    m_Connector->StartConnect(m_MasterRemoteHost, m_userName, m_password);
}

void clsCVCoreConnection::ShowConnecting(const QString& ipAddress) {
    if (m_connecting == nullptr) {
        m_connecting = new frmConnecting(m_mainWindow ? m_mainWindow->window() : nullptr);
    }
    frmConnecting* form = m_connecting;
    // Shown every time: a window the operator closed is still loaded and must come back.
    form->show();
    if (m_mainWindow) {
        form->move(m_mainWindow->window()->pos() +
                   QPoint(twipsToPixels(kConnectingLeftTwips), twipsToPixels(kConnectingTopTwips)));
    }
    form->timConnecting()->start();
    form->setStrToAddress(ipAddress);
}

frmConnecting* clsCVCoreConnection::connectingWindow() const {
    return m_connecting;
}

void clsCVCoreConnection::HideConnecting() {
    frmConnecting* form = m_connecting;
    if (form == nullptr) {
        return;
    }
    form->timConnecting()->stop();
    form->lblConnecting()->setText(QStringLiteral("Connecting"));
    form->close();
    delete form;
}

void clsCVCoreConnection::m_Connector_ConnectedChanged(bool connected) {
    m_connected = connected;
    report(connected ? QStringLiteral("Connected to Core %1").arg(m_MasterRemoteHost)
                     : QStringLiteral("Not connected to Core %1").arg(m_MasterRemoteHost));
    if (connected) {
        emit Connected();
    } else {
        emit Closed();
    }
}

void clsCVCoreConnection::m_Connector_HuntSwitched(const QString& ipAddress,
                                                   const QString& /*name*/) {
    m_MasterRemoteHost = ipAddress;
    report(QStringLiteral("Hunting: trying Core %1").arg(ipAddress));
    ShowConnecting(ipAddress);
    emit TryingCore(ServerText(ipAddress));
}

QString clsCVCoreConnection::ServerText(const QString& huntEntry) const {
    const auto address = CoreAddress::parse(huntEntry, m_Connector->corePort());
    if (!address) {
        return huntEntry;
    }
    const QString host = address->host.contains(QLatin1Char(':'))
                             ? QLatin1Char('[') + address->host + QLatin1Char(']')
                             : address->host;
    return host + QLatin1Char(':') + QString::number(address->port);
}

void clsCVCoreConnection::m_Connector_MessageToClient(const QString& message) {
    emit ReceivedData(message);
}

void clsCVCoreConnection::report(const QString& line) {
    qCDebug(lcConnection).noquote() << line;
    emit DebugMessage(line);
}

} // namespace corvane
