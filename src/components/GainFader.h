#pragma once

#include <QWidget>

namespace corvane {

// A vertical gain fader in dB. The program places it with setValue, which raises nothing;
// only the operator's mouse, wheel and keys raise operatorGrabbed (a gesture begins) and
// operatorMoved (each step the value takes, in 0.1 dB steps).
class GainFader : public QWidget {
    Q_OBJECT
public:
    static constexpr float kStepDb = 0.1f;
    static constexpr float kFineStepDb = 0.5f;
    static constexpr float kCoarseStepDb = 5.0f;

    explicit GainFader(QWidget* parent = nullptr);

    // A reversed range is put the right way round; a range with a NaN end is ignored.
    void setRange(float minimum, float maximum);
    float minimum() const { return m_minimum; }
    float maximum() const { return m_maximum; }
    float minimumDb() const { return m_minimum; }
    float maximumDb() const { return m_maximum; }

    // Kept as given; only its drawing is pinned to the range. NaN is ignored.
    void setValue(float value);
    float value() const { return m_value; }

    void setNominal(float nominal);
    float nominal() const { return m_nominal; }

    // Whether the operator holds the fader with the mouse now.
    bool isSliderDown() const { return m_dragging; }

    // Without a known gain the cap is drawn dimmed.
    void setActive(bool active);
    bool isActive() const { return m_active; }

    // Where the cap is drawn now, and the vertical position of a value; for layout and tests.
    QRect capRect() const;
    int positionFor(float value) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void operatorGrabbed();
    void operatorMoved(float value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int travelTop() const;
    int travelBottom() const;
    int capHeight() const;
    int trackX() const;
    int labelWidth() const;
    float valueAt(int y) const;
    float snapped(float value) const;
    void operatorStep(float delta);
    void operatorSet(float value);
    void paintScale(QPainter& painter) const;
    void paintCap(QPainter& painter) const;

    float m_minimum = -80.0f;
    float m_maximum = 10.0f;
    float m_value = 0.0f;
    float m_nominal = 0.0f;
    bool m_active = false;
    bool m_dragging = false;
    int m_grabOffset = 0;
    int m_lastDragY = 0;
    int m_wheelRemainder = 0;
};

} // namespace corvane
