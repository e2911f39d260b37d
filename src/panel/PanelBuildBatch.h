#pragma once

#include <QList>

class QWidget;

namespace corvane {

// Shows and restacks the controls of one building pass together, at its end. Shown one at a
// time on a visible window while the rest is still being built, every control would ask the
// window for a new layout, look for the control under the mouse pointer among all its siblings
// and be marked for repainting alone: costs that grow with the square of the panel. The
// controls end up shown and stacked exactly as if each had been shown and sent behind the
// others when it was built.
class PanelBuildBatch {
public:
    explicit PanelBuildBatch(QWidget* window);
    ~PanelBuildBatch();
    PanelBuildBatch(const PanelBuildBatch&) = delete;
    PanelBuildBatch& operator=(const PanelBuildBatch&) = delete;

    // A new control, created on the window and not shown yet: it stays hidden until the end
    // of the pass, and for good when the pass never shows it.
    static void keepHidden(QWidget* control);

    void show(QWidget* control);
    // Sends the control behind all others, in the order of these calls.
    void lower(QWidget* control);

    // Restacks and shows what was asked for, so that the window is repainted once. Runs at
    // destruction when not called before.
    void finish();

private:
    QWidget* m_window;
    bool m_finished = false;
    QList<QWidget*> m_shown;
    QList<QWidget*> m_lowered;
};

} // namespace corvane
