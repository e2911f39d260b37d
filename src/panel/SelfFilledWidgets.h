#pragma once

#include <QLabel>
#include <QPlainTextEdit>

namespace corvane {

// Labels and text boxes of a panel paint their background colour themselves instead of having
// Qt fill it. Qt counts a control whose background it fills as opaque, and at every repaint of
// the window it works out the area that all opaque controls cover, at a cost that grows with
// the square of their number: on a panel of thousands of controls, seconds. The look is the
// same.

class PanelLabel : public QLabel {
    Q_OBJECT
public:
    explicit PanelLabel(QWidget* parent = nullptr);

    // Whether the label fills its background with its palette's window colour; set with the
    // panel's back colour.
    void setFillsBackground(bool fills);
    bool fillsBackground() const { return m_fillsBackground; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_fillsBackground = false;
};

class PanelTextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit PanelTextBox(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override; // of the text area
};

} // namespace corvane
