#pragma once

#include <QLayout>

namespace corvane {

// The layout of the panel window: it holds no items, because the panel places and sizes its
// controls itself, and it puts no bounds on the window. A control whose size hint may have
// changed (on showing, on polishing) notifies the layout of its parent window; without one,
// Qt posts the window a layout request per control and matches each against every event
// already posted, a cost that grows with the square of a panel of thousands of controls. The
// layout takes the notices and asks for one relayout, which does nothing.
class PanelWindowLayout : public QLayout {
public:
    explicit PanelWindowLayout(QWidget* window);

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;
    // No size of its own: the window keeps the sizes it has without a layout.
    QSize sizeHint() const override;
    QSize minimumSize() const override;

    // Gives the window such a layout unless it has a layout already.
    static void install(QWidget* window);
};

} // namespace corvane
