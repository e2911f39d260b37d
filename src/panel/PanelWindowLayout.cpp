#include "panel/PanelWindowLayout.h"

#include <QWidget>

namespace corvane {

PanelWindowLayout::PanelWindowLayout(QWidget* window) : QLayout(window) {
    setSizeConstraint(QLayout::SetNoConstraint);
    setContentsMargins(0, 0, 0, 0);
}

void PanelWindowLayout::addItem(QLayoutItem* item) {
    delete item; // holds nothing; the panel places its controls itself
}

QLayoutItem* PanelWindowLayout::itemAt(int) const {
    return nullptr;
}

QLayoutItem* PanelWindowLayout::takeAt(int) {
    return nullptr;
}

int PanelWindowLayout::count() const {
    return 0;
}

QSize PanelWindowLayout::sizeHint() const {
    return {};
}

QSize PanelWindowLayout::minimumSize() const {
    return {};
}

void PanelWindowLayout::install(QWidget* window) {
    if (window->layout() == nullptr) {
        new PanelWindowLayout(window);
    }
}

} // namespace corvane
