#pragma once

#include <QPointer>
#include <QWidget>

namespace corvane::demo {

// A frame drawn around one control of a panel window, above every control and letting the
// mouse through, so that a panel designer sees which control a problem is about. It follows
// the control when the control moves or resizes.
class ControlHighlight : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMarginPx = 4;

    explicit ControlHighlight(QWidget* window);

    // Frames the control (a child of the window); nullptr hides the frame.
    void frame(QWidget* control);
    QWidget* framed() const { return m_control; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow();

    QPointer<QWidget> m_control;
};

} // namespace corvane::demo
