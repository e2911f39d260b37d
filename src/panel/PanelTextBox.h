#pragma once

#include <QPlainTextEdit>

namespace corvane {

// The text box of a panel. It paints its background colour itself instead of having Qt fill
// it: Qt counts a control whose background it fills as opaque, and at every repaint of the
// window it works out the area that all opaque controls cover, at a cost that grows with the
// square of their number. The look is the same.
class PanelTextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit PanelTextBox(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override; // of the text area
};

} // namespace corvane
