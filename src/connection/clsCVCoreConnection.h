#pragma once

#include "connection/CoreConnector.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class QWidget;

namespace corvane {

class frmConnecting;

// The main window's view of the Core connection (held there as MasterSocket): turns the
// connector's events into Closed / Connected / ReceivedData, offers a small command interface
// and shows the "Connecting" window while a Core is being looked for. What the connection goes
// through (servers tried, connected, lost, refused, the connector's own diagnostics) comes out
// as DebugMessage lines, also written to the log (corvane.connection).
class clsCVCoreConnection : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString MasterRemoteHost READ MasterRemoteHost WRITE setMasterRemoteHost)
    Q_PROPERTY(qint16 MasterRemotePort READ MasterRemotePort WRITE setMasterRemotePort)
public:
    static constexpr qint16 kStateConnected = 7; // what a connected socket reports
    static constexpr qint16 kStateClosed = 0;

    explicit clsCVCoreConnection(const CoreConnectorTimings& timings = {},
                                 QObject* parent = nullptr);
    ~clsCVCoreConnection() override;

    // The window the "Connecting" window is placed against.
    void setMainWindow(QWidget* mainWindow);

    // The user name and password every login gives, kept exactly as configured.
    void setCredentials(const QString& userName, const QString& password);

    // The connector itself, for setting its Core port.
    CoreConnector* connector() const { return m_Connector; }

    QString MasterRemoteHost() const { return m_MasterRemoteHost; }
    void setMasterRemoteHost(const QString& host) { m_MasterRemoteHost = host; }
    qint16 MasterRemotePort() const { return m_MasterRemotePort; }
    void setMasterRemotePort(qint16 port) { m_MasterRemotePort = port; }

    void SendCvpCommand(const QString& data);
    qint16 GetConnectionState() const;
    void StartHunting(const QStringList& connections);
    void CloseMasterConnection();
    void MasterConnect();
    // Shows the "Connecting" window (made the first time) with the address being tried.
    void ShowConnecting(const QString& ipAddress);
    // Unloads the "Connecting" window; this is its one way out.
    void HideConnecting();
    // The "Connecting" window while it is loaded, or nullptr.
    frmConnecting* connectingWindow() const;
    // A hunt entry as "host:port", with the Core port where it names none.
    QString ServerText(const QString& huntEntry) const;

signals:
    void Closed();
    void Connected();
    void ReceivedData(const QString& strNewData);
    void DebugMessage(const QString& message);
    // The connector tries this Core now: "host:port" ("[v6-address]:port").
    void TryingCore(const QString& server);

private:
    void m_Connector_ConnectedChanged(bool connected);
    void m_Connector_HuntSwitched(const QString& ipAddress, const QString& name);
    void m_Connector_MessageToClient(const QString& message);
    void report(const QString& line);

    CoreConnector* m_Connector;
    QPointer<QWidget> m_mainWindow;
    QPointer<frmConnecting> m_connecting;
    bool m_connected = false;
    QString m_MasterRemoteHost;
    QString m_userName;
    QString m_password;
    qint16 m_MasterRemotePort = 0;
};

} // namespace corvane
