#pragma once

#include "components/MeterArtist.h"
#include "components/MeterBallistics.h"
#include "components/MeterColors.h"
#include "components/MeterTick.h"
#include "support/ControlFacts.h"

#include <QColor>
#include <QPixmap>
#include <QWidget>

#include <functional>

namespace corvane {

// The LED meter of a panel (`TSLedInterop`): a stereo bar meter showing two levels in dB
// below full scale, with peak hold and a fall driven by elapsed time. Readings only move the
// ballistics; the shared meter tick repaints the bars whose drawn extent changed.
class LedMeter : public QWidget, public MeterTickClient, public HoldsControlFacts {
    Q_OBJECT
    Q_PROPERTY(int MeterStyle READ MeterStyle WRITE setMeterStyle)
    Q_PROPERTY(int MeterScale READ MeterScale WRITE setMeterScale)
    Q_PROPERTY(qint32 LevelLineColor READ LevelLineColor WRITE setLevelLineColor)
    Q_PROPERTY(int DecayRate READ DecayRate WRITE setDecayRate)
    Q_PROPERTY(int CenterPad READ CenterPad WRITE setCenterPad)
    Q_PROPERTY(int peakHoldMs READ peakHoldMs WRITE setPeakHoldMs)
    Q_PROPERTY(qint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(qint32 ForeColor READ ForeColor WRITE setForeColor)

public:
    using Clock = std::function<qint64()>;

    // A meter that has had no reading for this long falls to silence: a point that has gone
    // quiet must not look live.
    static constexpr int kStaleAfterMs = 1000;

    explicit LedMeter(QWidget* parent = nullptr);
    ~LedMeter() override;

    int MeterStyle() const { return m_style; }
    void setMeterStyle(int style);
    int MeterScale() const { return m_scaleCode; }
    void setMeterScale(int scale);
    qint32 LevelLineColor() const { return m_levelLineColor; }
    void setLevelLineColor(qint32 colorNumber);
    // Fall speed in dB per second; 0 or less means the default fall.
    int DecayRate() const { return m_decayRate; }
    void setDecayRate(int decayRate);
    // Pixels between the left and the right bar.
    int CenterPad() const { return m_centerPad; }
    void setCenterPad(int pixels);

    int peakHoldMs() const { return m_peak[0].peakHoldMs(); }
    void setPeakHoldMs(int ms);
    double decayDbPerSecond() const { return m_peak[0].decayDbPerSecond(); }
    const MeterColors& colors() const { return m_colors; }
    void setColors(const MeterColors& colors);
    // Colour numbers (0x00BBGGRR) of the meter's ground and of its scale's text.
    qint32 BackColor() const;
    void setBackColor(qint32 colorNumber);
    qint32 ForeColor() const;
    void setForeColor(qint32 colorNumber);

    Q_INVOKABLE void SetPeakLevels(qint32 left, qint32 right);
    // A second, quieter reading per channel (RMS), drawn as a core inside each bar. Meters
    // that never receive one do not draw it.
    void setRmsLevels(qint32 left, qint32 right);
    // Stops drawing the RMS core until the next RMS reading.
    void clearRms();
    bool hasRms() const { return m_hasRms; }

    // The levels are no longer measured (the meter server is lost, metering stopped): the
    // bars drop to silence at once and the meter is marked as having no data until its next
    // reading.
    void showNoData();
    bool noData() const { return m_noData; }
    // The same without repainting: for a caller that repaints many meters at once. True when
    // the meter had data until now.
    bool markNoData();

    // What the meter was given and what it shows now, in dB.
    qint32 levelLeft() const { return m_peak[0].reading(); }
    qint32 levelRight() const { return m_peak[1].reading(); }
    double shownLevelLeft() const { return m_peak[0].shownDb(); }
    double shownLevelRight() const { return m_peak[1].shownDb(); }
    double peakHoldLeft() const { return m_peak[0].peakHoldDb(); }
    double peakHoldRight() const { return m_peak[1].peakHoldDb(); }
    double shownRmsLeft() const { return m_rms[0].shownDb(); }
    double shownRmsRight() const { return m_rms[1].shownDb(); }

    // The time base of the ballistics; the shared monotonic clock unless replaced.
    void setClock(Clock clock);
    // Brings the ballistics up to the clock's time now and repaints bars that moved; the
    // shared tick does the same on every frame while the meter is visible.
    void advanceToNow();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    // What a bar shows, in pixels along it; a bar is repainted only when this changes.
    struct BarPaint {
        int extent = 0;
        int hold = 0;
        int rms = 0;
        bool operator==(const BarPaint&) const = default;
    };

    bool onMeterTick() override;
    bool refreshBars(bool invalidate);
    void noteReading(qint64 nowMs);
    void fallIfStale(qint64 nowMs);
    bool showsSilence() const;
    void paintNoDataMark(QPainter& painter) const;
    BarPaint barPaintFor(int channel) const;
    void applyDrawableRange();
    void invalidateCache();
    void ensureCache();
    void wakeIfShown();
    QRect toDevice(const QRect& logical) const {
        return MeterLayout::toDevice(logical, m_cacheDpr);
    }
    void paintBars(QPainter& painter) const;
    void blit(QPainter& painter, const QPixmap& from, const QRect& logical) const;

    int m_style = MeterStyleLed;
    int m_scaleCode = MeterScaleLinear;
    qint32 m_levelLineColor = 0x00FFFFFF;
    QColor m_levelLine{Qt::white};
    int m_decayRate = 0;
    int m_centerPad = 2;
    MeterColors m_colors;

    MeterBallistics m_peak[2];
    MeterBallistics m_rms[2];
    bool m_hasRms = false;
    // A reading came in the last kStaleAfterMs, at m_lastReadingMs.
    bool m_live = false;
    qint64 m_lastReadingMs = 0;
    bool m_noData = false;
    Clock m_clock;

    MeterArtist m_artist;
    MeterLayout m_layout;
    MeterArtist::Pixmaps m_pixmaps;
    bool m_cacheValid = false;
    qreal m_cacheDpr = 0;
    BarPaint m_drawn[2];
};

} // namespace corvane
