#include "components/MeterFader.h"

#include "components/GainFader.h"
#include "components/LedMeter.h"
#include "components/LitButton.h"
#include "support/ColorNumber.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QVBoxLayout>

#include <cmath>

namespace corvane {

namespace {

const QColor kStripBack(0x1d, 0x1d, 0x1d);
const QColor kStripEdge(0x3a, 0x3a, 0x3a);
const QColor kStripText(0xe8, 0xe8, 0xe8);
const QColor kOnLit(0x3c, 0xd8, 0x4a);
const QColor kBusLit(0xff, 0x4a, 0x36);

QLabel* stripLabel(int pixelSize, bool bold, const QColor& color, QWidget* parent) {
    auto* label = new QLabel(parent);
    QFont font(label->font());
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    // Long names are elided to the strip's width rather than widening the strip.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

void setTextColor(QLabel* label, const QColor& color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

} // namespace

MeterFader::MeterFader(QWidget* parent)
    : QWidget(parent), m_backColor(kStripBack), m_foreColor(kStripText) {
    buildLayout();
    m_userTimer.setSingleShot(false);
    connect(&m_userTimer, &QTimer::timeout, this, [this] { emit UserTimer(m_index); });
    refreshGainText();
}

MeterFader::~MeterFader() = default;

void MeterFader::buildLayout() {
    m_meter = new LedMeter(this);
    m_fader = new GainFader(this);
    m_fader->setRange(kDefaultGainMin, kDefaultGainMax);
    m_fader->setValue(m_faderLevel);
    m_fader->setNominal(m_faderNominal);
    m_nameLabel = stripLabel(10, true, QColor(0xe8, 0xe8, 0xe8), this);
    m_gainLabel = stripLabel(10, false, QColor(0x8f, 0xd8, 0xff), this);
    m_onOff = new LitButton(QStringLiteral("ON"), kOnLit, this);
    m_onOff->hide();

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(3, 3, 3, 3);
    column->setSpacing(3);
    column->addWidget(m_nameLabel);
    auto* levels = new QHBoxLayout;
    levels->setSpacing(2);
    levels->addWidget(m_meter, 1);
    levels->addWidget(m_fader, 1);
    column->addLayout(levels, 1);
    column->addWidget(m_gainLabel);
    column->addWidget(m_onOff);
    auto* buses = new QGridLayout;
    buses->setSpacing(2);
    for (int bus = 1; bus <= kBusCount; ++bus) {
        auto* button = new LitButton(QStringLiteral("PGM%1").arg(bus), kBusLit, this);
        button->hide();
        buses->addWidget(button, (bus - 1) / 2, (bus - 1) % 2);
        connect(button, &LitButton::clicked, this,
                [this, bus] { emit PGMBusClicked(m_index, bus); });
        m_busButtons[bus - 1] = button;
    }
    column->addLayout(buses);

    connect(m_onOff, &LitButton::clicked, this, [this] { emit OnOffClicked(m_index); });
    connect(m_fader, &GainFader::operatorGrabbed, this,
            [this] { emit FaderLevelChanged(m_index); });
    connect(m_fader, &GainFader::operatorMoved, this, &MeterFader::onOperatorMoved);
}

int MeterFader::MeterStyle() const {
    return m_meter->MeterStyle();
}

void MeterFader::setMeterStyle(int style) {
    m_meter->setMeterStyle(style);
}

int MeterFader::MeterScale() const {
    return m_meter->MeterScale();
}

void MeterFader::setMeterScale(int scale) {
    m_meter->setMeterScale(scale);
}

qint32 MeterFader::LevelLineColor() const {
    return m_meter->LevelLineColor();
}

void MeterFader::setLevelLineColor(qint32 colorNumber) {
    m_meter->setLevelLineColor(colorNumber);
}

void MeterFader::setDecayRate(qint16 decayRate) {
    if (decayRate == m_decayRate) {
        return;
    }
    m_decayRate = decayRate;
    m_meter->setDecayRate(decayRate);
}

void MeterFader::setFaderNominal(float nominal) {
    if (nominal == m_faderNominal || std::isnan(nominal)) {
        return;
    }
    m_faderNominal = nominal;
    m_fader->setNominal(nominal);
}

void MeterFader::setHideGainValue(bool hide) {
    if (hide == m_hideGainValue) {
        return;
    }
    m_hideGainValue = hide;
    m_gainLabel->setVisible(!hide);
}

void MeterFader::setChannelName(const QString& name) {
    if (name == m_channelName) {
        return;
    }
    m_channelName = name;
    m_nameLabel->setToolTip(name);
    refreshName();
}

void MeterFader::setChannelOn(bool on) {
    if (on == m_channelOn) {
        return;
    }
    m_channelOn = on;
    m_onOff->setLit(on);
}

bool MeterFader::PGMBusOn(int bus) const {
    return validBus(bus) && m_busOn[bus - 1];
}

void MeterFader::setPGMBusOn(int bus, bool on) {
    if (!validBus(bus) || m_busOn[bus - 1] == on) {
        return;
    }
    m_busOn[bus - 1] = on;
    m_busButtons[bus - 1]->setLit(on);
}

void MeterFader::setHasOnOff(bool has) {
    if (has == m_hasOnOff) {
        return;
    }
    m_hasOnOff = has;
    m_onOff->setVisible(has);
}

bool MeterFader::HasPGMBus(int bus) const {
    return validBus(bus) && m_hasBus[bus - 1];
}

void MeterFader::setHasPGMBus(int bus, bool has) {
    if (!validBus(bus) || m_hasBus[bus - 1] == has) {
        return;
    }
    m_hasBus[bus - 1] = has;
    m_busButtons[bus - 1]->setVisible(has);
}

void MeterFader::setFaderActive(bool active) {
    if (active == m_faderActive) {
        return;
    }
    m_faderActive = active;
    m_fader->setActive(active);
    refreshGainText();
}

void MeterFader::setFaderLevel(float level) {
    if (level == m_faderLevel || std::isnan(level)) {
        return;
    }
    m_faderLevel = level;
    m_fader->setValue(level);
    refreshGainText();
}

void MeterFader::onOperatorMoved(float level) {
    // The level is stored before the event goes out: the handler reads FaderLevel.
    m_faderLevel = level;
    refreshGainText();
    emit FaderLevelDrag(m_index, level);
}

void MeterFader::setUserTimerEnabled(bool enabled) {
    if (enabled == m_userTimerEnabled) {
        return;
    }
    m_userTimerEnabled = enabled;
    restartUserTimer();
}

void MeterFader::setUserTimerInterval(int ms) {
    ms = std::max(0, ms);
    if (ms == m_userTimerInterval) {
        return;
    }
    m_userTimerInterval = ms;
    restartUserTimer();
}

void MeterFader::restartUserTimer() {
    // A new interval starts a new period, as a window timer does.
    m_userTimer.stop();
    if (m_userTimerEnabled && m_userTimerInterval > 0) {
        m_userTimer.start(m_userTimerInterval);
    }
}

void MeterFader::SetGainRange(float minimum, float maximum) {
    m_fader->setRange(minimum, maximum);
}

float MeterFader::gainMinimum() const {
    return m_fader->minimum();
}

float MeterFader::gainMaximum() const {
    return m_fader->maximum();
}

void MeterFader::SetMeterLevels(qint32 peakLeft, qint32 peakRight, qint32 rmsLeft,
                                qint32 rmsRight) {
    m_meter->SetPeakLevels(peakLeft, peakRight);
    // Readings without RMS arrive with both RMS values 0; read as full scale they would
    // paint a full RMS core under every bar, so such a pair means "no RMS reading".
    if (rmsLeft == 0 && rmsRight == 0) {
        m_meter->clearRms();
    } else {
        m_meter->setRmsLevels(rmsLeft, rmsRight);
    }
}

qint32 MeterFader::BackColor() const {
    return numberFromColor(m_backColor);
}

void MeterFader::setBackColor(qint32 colorNumber) {
    const QColor color = colorFromNumber(colorNumber);
    if (color == m_backColor) {
        return;
    }
    m_backColor = color;
    update();
}

qint32 MeterFader::ForeColor() const {
    return numberFromColor(m_foreColor);
}

void MeterFader::setForeColor(qint32 colorNumber) {
    const QColor color = colorFromNumber(colorNumber);
    if (color == m_foreColor) {
        return;
    }
    m_foreColor = color;
    setTextColor(m_nameLabel, color);
    setTextColor(m_gainLabel, color);
}

LitButton* MeterFader::pgmBusButton(int bus) const {
    return validBus(bus) ? m_busButtons[bus - 1] : nullptr;
}

QSize MeterFader::sizeHint() const {
    return {100, 320};
}

void MeterFader::refreshGainText() {
    if (!m_faderActive) {
        m_gainLabel->setText(QStringLiteral("-- dB"));
        return;
    }
    const QString number = QLocale().toString(double(m_faderLevel), 'f', 1);
    m_gainLabel->setText((m_faderLevel > 0 ? QStringLiteral("+") : QString()) + number +
                         QStringLiteral(" dB"));
}

void MeterFader::refreshName() {
    const int room = std::max(0, m_nameLabel->width() - 2);
    m_nameLabel->setText(
        m_nameLabel->fontMetrics().elidedText(m_channelName, Qt::ElideRight, room));
}

void MeterFader::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), m_backColor);
    painter.setPen(kStripEdge);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void MeterFader::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    refreshName();
}

} // namespace corvane
