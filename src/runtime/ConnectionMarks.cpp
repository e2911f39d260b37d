#include "runtime/ConnectionMarks.h"

#include "components/LedMeter.h"
#include "components/MeterFader.h"
#include "panel/PanelTiles.h"
#include "runtime/CoreLostBanner.h"
#include "runtime/NoMeterDataMark.h"
#include "support/Twips.h"
#include "support/TwipsGeometry.h"

#include <QWidget>

#include <algorithm>

namespace corvane {

namespace {

constexpr int kMarkMarginPixels = 6;

bool coversAny(const QRect& place, const QList<QRect>& meters) {
    return std::any_of(meters.cbegin(), meters.cend(),
                       [&](const QRect& meter) { return meter.intersects(place); });
}

} // namespace

ConnectionMarks::ConnectionMarks(QWidget* window, RoomRequest requestRoom, QObject* parent)
    : QObject(parent), m_window(window), m_requestRoom(std::move(requestRoom)),
      m_banner(new CoreLostBanner(window)), m_mark(new NoMeterDataMark(window)) {}

void ConnectionMarks::coreLost(const QString& server) {
    m_coreLost = true;
    m_banner->showTrying(server);
    updateRoom();
}

void ConnectionMarks::tryingCore(const QString& server) {
    if (m_coreLost) {
        m_banner->showTrying(server);
    }
}

void ConnectionMarks::panelBuilt() {
    if (m_coreLost) {
        m_coreLost = false;
        m_banner->hide();
    }
    if (m_mark->isVisible() || m_markWanted) {
        m_mark->raise(); // above the controls just built
    }
    updateRoom();
}

void ConnectionMarks::meterState(bool meteringRuns, bool connected) {
    const bool wanted = meteringRuns && !connected;
    if (wanted == m_markWanted) {
        return;
    }
    m_markWanted = wanted;
    updateRoom();
}

bool ConnectionMarks::bannerShown() const {
    return m_coreLost && !m_banner->isHidden();
}

QString ConnectionMarks::bannerText() const {
    return bannerShown() ? m_banner->text() : QString();
}

bool ConnectionMarks::markShown() const {
    return !m_mark->isHidden();
}

QList<QRect> ConnectionMarks::meterRects() const {
    QList<QRect> rects;
    const auto children = PanelTiles::stackingOrder(m_window);
    for (const QWidget* child : children) {
        if (!child->isHidden() && (qobject_cast<const LedMeter*>(child) != nullptr ||
                                   qobject_cast<const MeterFader*>(child) != nullptr)) {
            rects << child->geometry();
        }
    }
    return rects;
}

// The banner needs room above the panel when a meter starts within its band (as it would
// without that room); the mark, when no corner of the panel is free of meters. Room once given
// to the mark stays while it shows: its corner is free then because of that room.
void ConnectionMarks::updateRoom() {
    const QList<QRect> meters = meterRects();
    int top = 0;
    if (m_coreLost) {
        const int band = m_banner->bandHeight();
        for (const QRect& meter : meters) {
            if (meter.top() - m_roomTop < band) {
                top = band;
                break;
            }
        }
    }
    int bottom = 0;
    if (m_markWanted) {
        bottom = m_roomBottom;
        if (bottom == 0) {
            relayout();
            if (coversAny(m_mark->geometry(), meters)) {
                // Below the lowest meter, also one that reaches past the panel's own height.
                int lowest = 0;
                for (const QRect& meter : meters) {
                    lowest = std::max(lowest, meter.bottom() + 1);
                }
                bottom = m_mark->height() + 2 * kMarkMarginPixels +
                         std::max(0, lowest - m_window->height());
            }
        }
    }
    if (top != m_roomTop || bottom != m_roomBottom) {
        m_roomTop = top;
        m_roomBottom = bottom;
        if (m_requestRoom) {
            m_requestRoom(top, bottom); // the view lays the panel out again, then relayout()
        }
    }
    relayout();
}

void ConnectionMarks::relayout() {
    if (!m_coreLost) {
        m_banner->hide();
    }
    if (!m_markWanted) {
        m_mark->hide();
        return;
    }
    placeMark();
    m_mark->raise();
    m_mark->show();
    if (bannerShown()) {
        m_banner->raise(); // the pane stays over everything
    }
}

// The first corner of the panel, in the order bottom right, bottom left, top right, top left,
// whose mark would cover no meter; the room kept below the panel when there is one.
void ConnectionMarks::placeMark() {
    const PanelMapping mapping = PanelMapping::of(m_window);
    QRect panel(mapping.origin(), QSize(mapping.lengthToPixels(TwipsGeometry::width(m_window)),
                                        mapping.lengthToPixels(TwipsGeometry::height(m_window))));
    panel = panel.intersected(m_window->rect());
    if (m_roomBottom > 0) {
        panel.setBottom(m_window->height() - 1);
    }
    if (bannerShown()) {
        panel.setTop(std::max(panel.top(), m_banner->bandHeight()));
    }
    const QSize size = m_mark->sizeHint();
    const QRect inner = panel.adjusted(kMarkMarginPixels, kMarkMarginPixels, -kMarkMarginPixels,
                                       -kMarkMarginPixels);
    const QList<QPoint> corners{
        {inner.right() - size.width() + 1, inner.bottom() - size.height() + 1},
        {inner.left(), inner.bottom() - size.height() + 1},
        {inner.right() - size.width() + 1, inner.top()},
        inner.topLeft(),
    };
    const QList<QRect> meters = meterRects();
    QRect chosen(corners.first(), size);
    if (m_roomBottom == 0) {
        for (const QPoint& corner : corners) {
            const QRect place(corner, size);
            if (!coversAny(place, meters)) {
                chosen = place;
                break;
            }
        }
    }
    m_mark->setGeometry(chosen);
}

} // namespace corvane
