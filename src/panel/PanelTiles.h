#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

namespace corvane {

class PanelTile;

// The panel's controls, held in tiles: transparent layers over the whole window, each of at
// most kControlsPerTile controls. Qt's painting of one control looks at every sibling stacked
// above it; with thousands of controls side by side on the window, a change of one caption
// would cost as much as the size of the panel. In tiles, it looks at the controls of its tile
// and at the tiles above.
//
// Controls keep the window's coordinates: a tile lies over the whole window. Each tile takes
// clicks and paints only where its shown controls are, so a tile never hides what lies below
// it. The stacking is the same as if every control were a child of the window: a control for
// the front goes on top of all built before it, one for the back behind all of them.
class PanelTiles : public QObject {
    Q_OBJECT
public:
    static constexpr int kControlsPerTile = 64;

    // The tiles of a window, made on first use and owned by it.
    static PanelTiles& of(QWidget* window);

    // A parent for a new control that goes in front of every control built so far.
    QWidget* front();
    // A parent for a new control that goes behind every control built so far, once it is
    // lowered among its tile's controls.
    QWidget* back();

    // While held (during a building pass), tiles note the changes of their controls and work
    // out where they take clicks once, when released.
    void holdMasks();
    void releaseMasks();

    // The widgets on the window from bottom to top, each tile standing for its controls.
    static QList<QWidget*> stackingOrder(const QWidget* window);
    static bool isTile(const QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit PanelTiles(QWidget* window);
    PanelTile* newTile();

    QWidget* m_window;
    PanelTile* m_front = nullptr;
    PanelTile* m_back = nullptr;
    int m_holds = 0;
    // Tiles made during the pass, shown when it ends.
    QList<QPointer<PanelTile>> m_unshown;
};

} // namespace corvane
