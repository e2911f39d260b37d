#pragma once

#include <QAbstractSlider>

namespace corvane {

// A vertical gain fader in dB. The slider's integer range is tenths of a dB, so keys, page
// steps, the wheel, accessibility and sliderPressed/sliderMoved/sliderReleased are Qt's own.
// The program places it with setGain, which raises no operator signal; gainChangedByOperator
// comes only when the operator's mouse, wheel or keys really change the value. A press that
// does not move it, or a step at the end of the range, raises nothing. Only a drag of the cap
// follows the pointer; a press above or below the cap moves one page step towards it.
class GainFader : public QAbstractSlider {
    Q_OBJECT
public:
    static constexpr int kTenthsPerDb = 10;
    static constexpr int kSingleStepTenths = 5; // a key press: 0.5 dB
    static constexpr int kPageStepTenths = 50;  // a page key: 5 dB

    explicit GainFader(QWidget* parent = nullptr);

    // A reversed range is put the right way round; a range with a NaN end is ignored.
    void setGainRange(float minimumDb, float maximumDb);
    float minimumDb() const { return float(minimum()) / kTenthsPerDb; }
    float maximumDb() const { return float(maximum()) / kTenthsPerDb; }

    // The program's gain: kept as given and drawn pinned to the range, also after a later
    // range change. NaN is ignored.
    void setGain(float db);
    // The program's gain as given, or the operator's last setting, whichever came last.
    float gain() const { return m_gain; }

    void setNominal(float db);
    float nominal() const { return m_nominal; }

    // Where the cap is drawn now.
    QRect capRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void gainChangedByOperator(float db);

protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Sizes that depend only on the widget's size and font, worked out when either changes.
    struct Geometry {
        int capHeight = 12;
        int capWidth = 0;
        int travelTop = 0;
        int travelBottom = 1;
        int labelWidth = 0;
        int trackX = 0;
    };

    void relayout();
    int positionFor(int tenths) const;
    int tenthsAt(int y) const;
    void placeByProgram(int tenths);
    void paintScale(QPainter& painter) const;
    void paintCap(QPainter& painter) const;

    Geometry m_geometry;
    QFont m_scaleFont;
    float m_gain = 0.0f;
    float m_nominal = 0.0f;
    bool m_programIsPlacing = false;
    int m_grabOffset = 0;
    int m_lastDragY = 0;
};

} // namespace corvane
