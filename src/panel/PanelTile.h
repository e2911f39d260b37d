#pragma once

#include <QWidget>

namespace corvane {

// One layer of the panel's controls (see PanelTiles): transparent, over the whole window, and
// taking clicks and painting only where its shown controls are. It keeps that area up to date
// as its controls are shown, hidden, moved, resized or removed.
class PanelTile : public QWidget {
    Q_OBJECT
public:
    explicit PanelTile(QWidget* window);

    int controlCount() const { return m_controls; }

    // While held, changes of the controls are only noted; the area is worked out once when
    // the hold ends.
    void holdMask();
    void releaseMask();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void controlsChanged();
    void updateMask();

    int m_controls = 0;
    bool m_held = false;
    bool m_stale = false;
    bool m_unwatched = false; // controls were added while held, without the filter yet
};

} // namespace corvane
