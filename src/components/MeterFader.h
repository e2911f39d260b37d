#pragma once

#include "support/ControlFacts.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <array>
#include <optional>

namespace corvane {

class GainFader;
class LedMeter;
class LitButton;

// A channel strip of a panel (`cntrlMeterFader`): name, stereo meter beside a gain fader,
// the gain figure, a channel on/off button and four programme-bus buttons. It owns no
// channel state: clicks only raise events, and the on/off and bus lights change when the
// program sets ChannelOn or PGMBusOn after the Core has answered. Every event carries the
// strip's index in its control array.
//
// The fader takes no input until FaderActive is set (a gain has arrived). The operator's
// changes raise FaderLevelChanged and then FaderLevelDrag with the new level, once per real
// change; a press, key or wheel step that leaves the level as it was raises nothing.
//
// Colours come from the strip's palette: Window is the ground of the strip and its fader,
// WindowText the channel name and the fader's scale. The parts are named for finding them:
// "meter", "fader", "onOff", "pgmBus1" to "pgmBus4"; a button exists once the strip has had
// the ability it stands for. The strip paints the name and the gain figure itself.
class MeterFader : public QWidget, public HoldsControlFacts {
    Q_OBJECT
    Q_PROPERTY(int MeterStyle READ MeterStyle WRITE setMeterStyle)
    Q_PROPERTY(int MeterScale READ MeterScale WRITE setMeterScale)
    Q_PROPERTY(qint32 LevelLineColor READ LevelLineColor WRITE setLevelLineColor)
    Q_PROPERTY(qint16 DecayRate READ DecayRate WRITE setDecayRate)
    Q_PROPERTY(float FaderNominal READ FaderNominal WRITE setFaderNominal)
    Q_PROPERTY(bool HideGainValue READ HideGainValue WRITE setHideGainValue)
    Q_PROPERTY(QString ChannelName READ ChannelName WRITE setChannelName)
    Q_PROPERTY(bool ChannelOn READ ChannelOn WRITE setChannelOn)
    Q_PROPERTY(bool HasOnOff READ HasOnOff WRITE setHasOnOff)
    Q_PROPERTY(bool FaderActive READ FaderActive WRITE setFaderActive)
    Q_PROPERTY(float FaderLevel READ FaderLevel WRITE setFaderLevel)
    Q_PROPERTY(bool UserAdjusting READ UserAdjusting WRITE setUserAdjusting)
    Q_PROPERTY(bool UserTimerEnabled READ UserTimerEnabled WRITE setUserTimerEnabled)
    Q_PROPERTY(int UserTimerInterval READ UserTimerInterval WRITE setUserTimerInterval)
    Q_PROPERTY(qint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(qint32 ForeColor READ ForeColor WRITE setForeColor)

public:
    static constexpr int kBusCount = 4;
    static constexpr float kDefaultGainMin = -80.0f;
    static constexpr float kDefaultGainMax = 10.0f;

    explicit MeterFader(QWidget* parent = nullptr);
    ~MeterFader() override;

    int index() const { return m_index; }
    void setIndex(int index) { m_index = index; }

    int MeterStyle() const;
    void setMeterStyle(int style);
    int MeterScale() const;
    void setMeterScale(int scale);
    qint32 LevelLineColor() const;
    void setLevelLineColor(qint32 colorNumber);
    qint16 DecayRate() const { return m_decayRate; }
    void setDecayRate(qint16 decayRate);
    float FaderNominal() const { return m_faderNominal; }
    void setFaderNominal(float nominal);
    bool HideGainValue() const { return m_hideGainValue; }
    void setHideGainValue(bool hide);
    QString ChannelName() const { return m_channelName; }
    void setChannelName(const QString& name);

    bool ChannelOn() const { return m_channelOn; }
    void setChannelOn(bool on);
    // Buses are numbered 1 to 4; other numbers read false and are not stored.
    bool PGMBusOn(int bus) const;
    void setPGMBusOn(int bus, bool on);
    bool HasOnOff() const { return m_hasOnOff; }
    void setHasOnOff(bool has);
    bool HasPGMBus(int bus) const;
    void setHasPGMBus(int bus, bool has);

    bool FaderActive() const { return m_faderActive; }
    void setFaderActive(bool active);
    // The program's gain for the fader; setting it never raises a fader event.
    float FaderLevel() const { return m_faderLevel; }
    void setFaderLevel(float level);
    bool UserAdjusting() const { return m_userAdjusting; }
    void setUserAdjusting(bool adjusting) { m_userAdjusting = adjusting; }
    // The operator has the fader in hand (pressed and not yet let go).
    bool operatorHolding() const;

    // A timer of this strip alone; it repeats every UserTimerInterval ms while enabled, and
    // an interval of 0 keeps it silent.
    bool UserTimerEnabled() const { return m_userTimerEnabled; }
    void setUserTimerEnabled(bool enabled);
    int UserTimerInterval() const { return m_userTimerInterval; }
    void setUserTimerInterval(int ms);

    // Colour numbers (0x00BBGGRR) of the strip's ground and of its name and gain texts.
    qint32 BackColor() const;
    void setBackColor(qint32 colorNumber);
    qint32 ForeColor() const;
    void setForeColor(qint32 colorNumber);

    Q_INVOKABLE void SetGainRange(float minimum, float maximum);
    Q_INVOKABLE void SetMeterLevels(qint32 peakLeft, qint32 peakRight, qint32 rmsLeft,
                                    qint32 rmsRight);
    // Readings of one kind only; the other keeps what it showed.
    void SetPeakLevels(qint32 peakLeft, qint32 peakRight);
    void SetRmsLevels(qint32 rmsLeft, qint32 rmsRight);
    // The strip's levels are no longer measured (see LedMeter::showNoData).
    void showNoData();
    bool markNoData();

    // The name as it shows, elided to the strip's width, and the gain figure (empty while
    // hidden).
    QString shownName() const;
    QString shownGain() const;
    QColor gainColor() const { return m_gainColor; }

    QSize sizeHint() const override;

signals:
    void FaderLevelChanged(int index);
    void FaderLevelDrag(int index, float level);
    void UserTimer(int index);
    void OnOffClicked(int index);
    void PGMBusClicked(int index, int bus);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildParts();
    void placeParts();
    LitButton* onOffButton();
    LitButton* busButton(int bus);
    void applyFonts();
    void onOperatorChanged(float level);
    void refreshGainText();
    void refreshName();
    void restartUserTimer();
    static bool validBus(int bus) { return bus >= 1 && bus <= kBusCount; }

    int m_index = 0;
    qint16 m_decayRate = 0;
    float m_faderNominal = 0.0f;
    bool m_hideGainValue = false;
    QString m_channelName;
    bool m_channelOn = false;
    std::array<bool, kBusCount> m_busOn{};
    bool m_hasOnOff = false;
    std::array<bool, kBusCount> m_hasBus{};
    bool m_faderActive = false;
    float m_faderLevel = 0.0f;
    bool m_userAdjusting = false;
    bool m_userTimerEnabled = false;
    int m_userTimerInterval = 0;
    QTimer m_userTimer;

    LedMeter* m_meter = nullptr;
    GainFader* m_fader = nullptr;
    QFont m_nameFont;
    QFont m_gainFont;
    QRect m_nameRect;
    QRect m_gainRect;
    mutable std::optional<QString> m_shownName; // elided when first asked for
    QString m_gainText;
    QColor m_gainColor;
    LitButton* m_onOff = nullptr;
    std::array<LitButton*, kBusCount> m_busButtons{};
};

} // namespace corvane
