#include "panel/PanelTile.h"

#include <QChildEvent>
#include <QList>
#include <QRegion>

namespace corvane {

namespace {

// A mask that lies outside every tile: a tile without shown controls takes nothing. An empty
// region would mean no mask at all, the whole window.
const QRegion kNothing(-2, -2, 1, 1);

// The union of the rectangles, joined in pairs so that the cost grows with n log n, not with
// the square of the controls of the tile.
QRegion unite(QList<QRegion>& regions) {
    if (regions.isEmpty()) {
        return {};
    }
    while (regions.size() > 1) {
        qsizetype kept = 0;
        for (qsizetype i = 0; i + 1 < regions.size(); i += 2) {
            regions[kept++] = regions[i].united(regions[i + 1]);
        }
        if (regions.size() % 2 != 0) {
            regions[kept++] = regions.last();
        }
        regions.resize(kept);
    }
    return regions.first();
}

} // namespace

PanelTile::PanelTile(QWidget* window) : QWidget(window) {
    setObjectName(QStringLiteral("corvanePanelTile"));
    setGeometry(window->rect());
    setMask(kNothing);
}

void PanelTile::holdMask() {
    m_held = true;
}

void PanelTile::releaseMask() {
    m_held = false;
    if (m_unwatched) {
        // The controls added while held are watched from now on; until now their area was
        // to be worked out anyway.
        m_unwatched = false;
        for (QObject* child : children()) {
            if (child->isWidgetType()) {
                child->installEventFilter(this); // again for one watched already: no change
            }
        }
    }
    if (m_stale) {
        updateMask();
    }
}

bool PanelTile::event(QEvent* event) {
    if (event->type() == QEvent::Show && m_stale && !m_held) {
        updateMask();
    } else if (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildRemoved) {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (child->isWidgetType()) {
            if (event->type() == QEvent::ChildAdded) {
                ++m_controls;
                if (m_held) {
                    // Every event of every control built in a pass would pass the filter for
                    // nothing: the area is worked out when the hold ends.
                    m_unwatched = true;
                    m_stale = true;
                } else {
                    child->installEventFilter(this);
                }
            } else {
                --m_controls;
                child->removeEventFilter(this);
                controlsChanged();
            }
        }
    }
    return QWidget::event(event);
}

bool PanelTile::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::Move:
    case QEvent::Resize:
        if (watched->parent() == this) {
            controlsChanged();
        }
        break;
    default:
        break;
    }
    return false;
}

void PanelTile::controlsChanged() {
    // A tile that is not shown (its window closing, say, which hides every control with it)
    // takes no clicks and paints nothing: its area waits until it is shown again.
    if (m_held || !isVisible()) {
        m_stale = true;
    } else {
        updateMask();
    }
}

void PanelTile::updateMask() {
    m_stale = false;
    QList<QRegion> shown;
    shown.reserve(m_controls);
    for (QObject* child : children()) {
        if (child->isWidgetType()) {
            const auto* control = static_cast<const QWidget*>(child);
            if (!control->isHidden() && !control->geometry().isEmpty()) {
                shown.append(QRegion(control->geometry()));
            }
        }
    }
    QRegion area = unite(shown);
    if (area.isEmpty()) {
        area = kNothing;
    }
    if (area == mask()) {
        return;
    }
    // Qt repaints everything under a visible widget whose mask changes, as if the widget had
    // painted there: for a tile, the whole panel. A tile paints nothing itself, and the control
    // that was shown, hidden or moved has already asked for the areas it took and left.
    const bool visible = testAttribute(Qt::WA_WState_Visible);
    setAttribute(Qt::WA_WState_Visible, false);
    setMask(area);
    setAttribute(Qt::WA_WState_Visible, visible);
}

} // namespace corvane
