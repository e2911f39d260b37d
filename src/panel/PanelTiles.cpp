#include "panel/PanelTiles.h"

#include "panel/PanelTile.h"
#include "panel/PanelWindowLayout.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>

#include <utility>

namespace corvane {

namespace {
const char* const kObjectName = "corvanePanelTiles";
}

PanelTiles::PanelTiles(QWidget* window) : QObject(window), m_window(window) {
    setObjectName(QLatin1String(kObjectName));
    window->installEventFilter(this);
}

PanelTiles& PanelTiles::of(QWidget* window) {
    auto* tiles =
        window->findChild<PanelTiles*>(QLatin1String(kObjectName), Qt::FindDirectChildrenOnly);
    return tiles != nullptr ? *tiles : *new PanelTiles(window);
}

QWidget* PanelTiles::front() {
    if (m_front == nullptr || m_front->controlCount() >= kControlsPerTile) {
        m_front = newTile(); // made last: on top of every control so far
    }
    return m_front;
}

QWidget* PanelTiles::back() {
    if (m_back == nullptr || m_back->controlCount() >= kControlsPerTile) {
        m_back = newTile();
        m_back->lower();
    }
    return m_back;
}

PanelTile* PanelTiles::newTile() {
    auto* tile = new PanelTile(m_window);
    // A control's size hint goes to its parent's layout; without one, every control would
    // post the tile a request of its own.
    PanelWindowLayout::install(tile);
    if (m_holds > 0) {
        // Shown at the end of the pass, with its controls: a control shown on a hidden tile
        // only takes note of it, and the tile then shows all of them in one go.
        tile->holdMask();
        tile->setAttribute(Qt::WA_WState_ExplicitShowHide);
        tile->setAttribute(Qt::WA_WState_Hidden);
        m_unshown.append(tile);
    } else {
        tile->setVisible(true);
    }
    return tile;
}

void PanelTiles::holdMasks() {
    if (m_holds++ > 0) {
        return;
    }
    for (QObject* child : m_window->children()) {
        if (auto* tile = qobject_cast<PanelTile*>(child)) {
            tile->holdMask();
        }
    }
}

void PanelTiles::releaseMasks() {
    if (m_holds == 0 || --m_holds > 0) {
        return;
    }
    for (const QPointer<PanelTile>& tile : std::exchange(m_unshown, {})) {
        if (tile) {
            tile->setVisible(true);
        }
    }
    for (QObject* child : m_window->children()) {
        if (auto* tile = qobject_cast<PanelTile*>(child)) {
            tile->releaseMask();
        }
    }
}

bool PanelTiles::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::Resize) {
        for (QObject* child : m_window->children()) {
            if (auto* tile = qobject_cast<PanelTile*>(child)) {
                tile->setGeometry(m_window->rect());
            }
        }
    }
    return false;
}

QList<QWidget*> PanelTiles::stackingOrder(const QWidget* window) {
    QList<QWidget*> order;
    for (QObject* child : window->children()) {
        if (auto* tile = qobject_cast<PanelTile*>(child)) {
            for (QObject* control : tile->children()) {
                if (control->isWidgetType()) {
                    order.append(static_cast<QWidget*>(control));
                }
            }
        } else if (child->isWidgetType()) {
            order.append(static_cast<QWidget*>(child));
        }
    }
    return order;
}

bool PanelTiles::isTile(const QWidget* widget) {
    return qobject_cast<const PanelTile*>(widget) != nullptr;
}

} // namespace corvane
