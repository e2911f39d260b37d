#pragma once

#include <QObject>
#include <QRect>
#include <QString>

#include <functional>

class QWidget;

namespace corvane {

class CoreLostBanner;
class NoMeterDataMark;

// The state of the panel's two connections, shown on the panel itself: the Core-lost banner
// from the loss of the Core until a panel has been built from the Core found again, and the
// "No meter data" mark while metering is meant to run and the meter server is not connected.
// Neither ever covers a meter: the mark takes a corner free of meters, and when the panel has
// no such room, the view is asked to keep room for them beside the panel.
class ConnectionMarks : public QObject {
    Q_OBJECT
public:
    // Asks the view to keep this many pixels clear of the panel at the window's top and bottom.
    using RoomRequest = std::function<void(int top, int bottom)>;

    ConnectionMarks(QWidget* window, RoomRequest requestRoom, QObject* parent = nullptr);

    // The Core connection was lost; server is the one that was in use ("host:port").
    void coreLost(const QString& server);
    // The connector tries this server now ("host:port").
    void tryingCore(const QString& server);
    // A panel has been built from the Core's definition: after a loss, the panel is current.
    void panelBuilt();
    // Metering is meant to run, and whether its connection is up.
    void meterState(bool meteringRuns, bool connected);
    // The panel's place or scale changed: the marks find their places again.
    void relayout();

    bool bannerShown() const;
    QString bannerText() const;
    bool markShown() const;
    CoreLostBanner* banner() const { return m_banner; }
    NoMeterDataMark* mark() const { return m_mark; }

private:
    QList<QRect> meterRects() const;
    void placeMark();
    void updateRoom();

    QWidget* m_window;
    RoomRequest m_requestRoom;
    CoreLostBanner* m_banner;
    NoMeterDataMark* m_mark;
    bool m_coreLost = false;
    bool m_markWanted = false;
    int m_roomTop = 0;
    int m_roomBottom = 0;
};

} // namespace corvane
