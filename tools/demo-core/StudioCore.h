#pragma once

#include "PanelCatalog.h"
#include "StudioState.h"
#include "common/DemoPoints.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <optional>

namespace corvane::demo {

// Where the studio's answers go: the socket side in the program, a recorder in tests.
class StudioOutput {
public:
    virtual ~StudioOutput() = default;
    // One complete frame for one connection.
    virtual void send(int connection, const QString& frame) = 0;
    // Closes a connection once what was sent to it has left.
    virtual void close(int connection) = 0;
    // A line for the studio's log.
    virtual void note(const QString& text) = 0;
};

// The demo Core's behaviour, apart from any socket: logs clients in, serves panels, and keeps
// one studio for everyone connected. Buttons light and latch, channels switch and fade, and
// every change goes to every client that shows it, the one that asked included. Control
// commands are logged; two kinds act:
//   "message TEXT"                          shows TEXT to the operator who sent it;
//   "set PANEL.CONTROL.PROPERTY=VALUE"      sets a property of a control for everyone.
class StudioCore {
public:
    struct Credentials {
        QString user;
        QString password;
    };
    // A client may subscribe to at most this many points.
    static constexpr qsizetype kMaxSubscriptions = 20000;

    StudioCore(const PanelCatalog& catalog, StudioState& state, Credentials credentials,
               StudioOutput& output);

    void open(int connection);
    void close(int connection);
    // One piece cut from a connection's text at a frame end (the frame end removed).
    void handle(int connection, const QString& piece);

    // One change of the studio made by no client, as a busy studio keeps making them, in turn:
    // a button somebody pushes, a fader somebody moves, a channel somebody switches, the
    // caption of a panel. Each goes to every client it concerns. Nothing happens while no
    // client shows a panel; kinds the clients' panels do not offer are passed over.
    void churn();
    // Changes made by churn() so far.
    qint64 churnCount() const { return m_churnCount; }

    // A change another Core of the studio made: taken over and passed to the clients it
    // concerns.
    void applyShared(const StudioChange& change);
    // Serves every client its panel again, as after a reconnection.
    void redeliver();

    // With readback on, every panel goes out with a load command that reads its controls back
    // (see PanelReadback), so that the studio can check what a client shows.
    void setReadback(bool on) { m_readback = on; }
    // Serves every client showing a panel its panel again and compares the readback that
    // follows with the studio: one "check:" note for each client, then one for each
    // difference. Returns how many clients are checked.
    int check();

    bool isLoggedIn(int connection) const;
    // The own name of the panel last served to a connection.
    QString panelOf(int connection) const;
    qsizetype subscriptionCount(int connection) const;

private:
    struct Client {
        bool loggedIn = false;
        QString panel; // own name of the panel last served
        QHash<QString, StudioButton> buttons;
        QSet<DemoPoint> subscriptions;
        std::optional<StudioPanel> served; // with readback on: the panel last served
        qint64 deliveries = 0;             // panels served
        qint64 readbacks = 0;              // readbacks answered, one per delivery
        qint64 checkedDelivery = 0;        // the delivery whose readback is checked, or 0
    };

    void login(int connection, Client& client, const QString& payload);
    void servePanel(int connection, Client& client, const QString& name);
    void buttonPush(int connection, Client& client, const QString& payload);
    void controlCommand(int connection, Client& client, const QString& payload);
    void readbackAnswered(int connection, Client& client, const QString& text);
    void setCommand(int connection, const QString& assignment);
    void subscribe(int connection, Client& client, const DemoPoint& point);
    void faderMoved(int connection, const DemoPoint& point, const QString& payload);
    void channelRequest(int connection, const DemoPoint& point, const QString& payload);
    void gainQuery(int connection, const QString& payload);

    void send(int connection, int command, const QString& addressBlock, const QString& payload);
    void sendToPanel(const QString& panel, const QString& propertyChange);
    // To every client subscribed to the point, and to the one that asked.
    void sendToListeners(int asker, const DemoPoint& point, int command, const QString& payload);
    QString levelRecord(const DemoPoint& point) const;
    QList<DemoPoint> subscribedPoints() const;
    bool churnButton(quint64 turn);
    bool churnGain(quint64 turn);
    bool churnChannel(quint64 turn);
    bool churnCaption(quint64 turn);

    const PanelCatalog& m_catalog;
    StudioState& m_state;
    Credentials m_credentials;
    StudioOutput& m_output;
    QHash<int, Client> m_clients;
    bool m_readback = false;
    quint64 m_churnTurn = 0;
    qint64 m_churnCount = 0;
};

} // namespace corvane::demo
