#include "panel/PanelBuildBatch.h"

#include "panel/PanelTiles.h"
#include "panel/PanelWindowLayout.h"

#include <QWidget>

#include <memory>

namespace corvane {

PanelBuildBatch::PanelBuildBatch(QWidget* window) : m_window(window) {
    PanelWindowLayout::install(m_window);
    PanelTiles::of(m_window).holdMasks();
}

PanelBuildBatch::~PanelBuildBatch() {
    finish();
}

void PanelBuildBatch::keepHidden(QWidget* control) {
    // What hide() leaves on a control that was never shown, without the layout request that
    // hide() posts to a visible window for every control.
    control->setAttribute(Qt::WA_WState_ExplicitShowHide);
    control->setAttribute(Qt::WA_WState_Hidden);
}

void PanelBuildBatch::show(QWidget* control) {
    m_shown.append(control);
}

void PanelBuildBatch::lower(QWidget* control) {
    m_lowered.append(control);
}

void PanelBuildBatch::finish() {
    if (m_finished) {
        return;
    }
    m_finished = true;
    // Restacking hidden controls only reorders the window's list of children; the order comes
    // out as if each had been sent back when it was built.
    for (QWidget* control : std::as_const(m_lowered)) {
        control->lower();
    }
    if (m_shown.isEmpty()) {
        PanelTiles::of(m_window).releaseMasks();
        return;
    }
    // Showing a control on a visible window makes Qt look through all the window's controls
    // for the one under the mouse pointer, and marks the control's area for repainting: with
    // thousands of controls, a cost that grows with the square of the panel. A transparent
    // cover over the whole window, shown first and on top of everything, is found under the
    // pointer at once, and marks the whole window, so that every later mark is already
    // covered and the window is painted once. It is gone again before any event can reach it.
    std::unique_ptr<QWidget> cover;
    if (m_window->isVisible()) {
        cover = std::make_unique<QWidget>(m_window);
        cover->setAttribute(Qt::WA_NoSystemBackground);
        cover->setGeometry(m_window->rect());
        cover->show();
    }
    for (QWidget* control : std::as_const(m_shown)) {
        control->setVisible(true);
    }
    PanelTiles::of(m_window).releaseMasks();
}

} // namespace corvane
