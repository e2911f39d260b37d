#include "components/MeterFader.h"

#include "components/ComponentFont.h"
#include "components/GainFader.h"
#include "components/LedMeter.h"
#include "components/LitButton.h"
#include "support/ColorNumber.h"

#include <QEvent>
#include <QHelpEvent>
#include <QLocale>
#include <QPainter>
#include <QToolTip>

#include <cmath>

namespace corvane {

namespace {

const QColor kStripGround(0x1d, 0x1d, 0x1d);
const QColor kStripText(0xe8, 0xe8, 0xe8);
const QColor kGainText(0x8f, 0xd8, 0xff);
const QColor kOnLit(0x3c, 0xd8, 0x4a);
const QColor kBusLit(0xff, 0x4a, 0x36);

// Shares of the strip's font for its small print.
constexpr qreal kNameShare = 0.85;
constexpr qreal kGainShare = 0.85;

// Room around the parts, between the rows of the strip, and between parts side by side.
constexpr int kMargin = 3;
constexpr int kRowGap = 3;
constexpr int kPartGap = 2;

// The left or right half of a row, the gap between them.
QRect half(const QRect& row, int column) {
    const int width = (row.width() - kPartGap) / 2;
    return column == 0 ? QRect(row.left(), row.top(), width, row.height())
                       : QRect(row.right() + 1 - width, row.top(), width, row.height());
}

} // namespace

MeterFader::MeterFader(QWidget* parent) : QWidget(parent) {
    // The ground and the frame cover every pixel the parts leave.
    setAttribute(Qt::WA_OpaquePaintEvent);
    QPalette strip = palette();
    strip.setColor(QPalette::Window, kStripGround);
    strip.setColor(QPalette::WindowText, kStripText);
    setPalette(strip);
    m_gainColor = kGainText;
    buildParts();
    applyFonts();
    m_userTimer.setSingleShot(false);
    connect(&m_userTimer, &QTimer::timeout, this, [this] { emit UserTimer(m_index); });
    refreshGainText();
}

MeterFader::~MeterFader() = default;

// The name and the gain figure are painted by the strip itself, and the parts placed by it:
// labels and layouts would weigh more than the rest of the strip, on panels of hundreds.
void MeterFader::buildParts() {
    m_meter = new LedMeter(this);
    m_meter->setObjectName(QStringLiteral("meter"));
    m_fader = new GainFader(this);
    m_fader->setObjectName(QStringLiteral("fader"));
    m_fader->setGainRange(kDefaultGainMin, kDefaultGainMax);
    m_fader->setGain(m_faderLevel);
    m_fader->setNominal(m_faderNominal);
    m_fader->setEnabled(m_faderActive);
    connect(m_fader, &GainFader::gainChangedByOperator, this, &MeterFader::onOperatorChanged);
}

// From the top: the name, the meter beside the fader, the gain figure, the on/off button and
// the bus buttons two to a row; each row only while it shows. The meter and the fader take
// what the others leave.
void MeterFader::placeParts() {
    const QRect inside = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
    int top = inside.top();
    m_nameRect = QRect(inside.left(), top, inside.width(), QFontMetrics(m_nameFont).height());
    top = m_nameRect.bottom() + 1 + kRowGap;

    int bottom = inside.bottom() + 1; // the first line below the rows placed so far
    const auto rowAbove = [&](int height) {
        const QRect row(inside.left(), bottom - height, inside.width(), height);
        bottom = row.top() - kRowGap;
        return row;
    };
    // The bus buttons, two columns over every row; a column no button shows takes no room.
    bool columnUsed[2] = {false, false};
    for (int bus = 1; bus <= kBusCount; ++bus) {
        if (m_busButtons[bus - 1] && !m_busButtons[bus - 1]->isHidden()) {
            columnUsed[(bus - 1) % 2] = true;
        }
    }
    for (int row = kBusCount / 2 - 1; row >= 0; --row) {
        int height = -1;
        for (int column = 0; column < 2; ++column) {
            if (LitButton* button = m_busButtons[row * 2 + column]; button && !button->isHidden()) {
                height = std::max(height, button->sizeHint().height());
            }
        }
        if (height < 0) {
            continue;
        }
        const QRect line(inside.left(), bottom - height, inside.width(), height);
        bottom = line.top() - kPartGap;
        for (int column = 0; column < 2; ++column) {
            if (LitButton* button = m_busButtons[row * 2 + column]) {
                button->setGeometry(columnUsed[0] && columnUsed[1] ? half(line, column) : line);
            }
        }
    }
    if (bottom != inside.bottom() + 1) {
        bottom += kPartGap - kRowGap; // the gap below the bus rows is a row's gap
    }
    if (m_onOff && !m_onOff->isHidden()) {
        m_onOff->setGeometry(rowAbove(m_onOff->sizeHint().height()));
    }
    m_gainRect = m_hideGainValue ? QRect() : rowAbove(QFontMetrics(m_gainFont).height());

    const QRect levels(inside.left(), top, inside.width(), std::max(0, bottom - top));
    m_meter->setGeometry(half(levels, 0));
    m_fader->setGeometry(half(levels, 1));
    refreshName();
    update();
}

// The buttons come only with the abilities that show them: most strips have few or none, and
// five idle buttons would weigh more than the rest of the strip.
LitButton* MeterFader::onOffButton() {
    if (!m_onOff) {
        m_onOff = new LitButton(QStringLiteral("ON"), kOnLit, this);
        m_onOff->setObjectName(QStringLiteral("onOff"));
        m_onOff->setLit(m_channelOn);
        connect(m_onOff, &LitButton::clicked, this, [this] { emit OnOffClicked(m_index); });
    }
    return m_onOff;
}

LitButton* MeterFader::busButton(int bus) {
    LitButton*& button = m_busButtons[bus - 1];
    if (!button) {
        button = new LitButton(QStringLiteral("PGM%1").arg(bus), kBusLit, this);
        button->setObjectName(QStringLiteral("pgmBus%1").arg(bus));
        button->setLit(m_busOn[bus - 1]);
        connect(button, &LitButton::clicked, this,
                [this, bus] { emit PGMBusClicked(m_index, bus); });
    }
    return button;
}

void MeterFader::applyFonts() {
    m_nameFont = scaledFont(font(), kNameShare, true);
    m_gainFont = scaledFont(font(), kGainShare);
    placeParts();
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
    placeParts();
}

void MeterFader::setChannelName(const QString& name) {
    if (name == m_channelName) {
        return;
    }
    m_channelName = name;
    // Screen readers name the strip and its fader by the channel.
    setAccessibleName(name);
    m_fader->setAccessibleName(name + QStringLiteral(" gain"));
    refreshName();
}

void MeterFader::setChannelOn(bool on) {
    if (on == m_channelOn) {
        return;
    }
    m_channelOn = on;
    if (m_onOff) {
        m_onOff->setLit(on);
    }
}

bool MeterFader::PGMBusOn(int bus) const {
    return validBus(bus) && m_busOn[bus - 1];
}

void MeterFader::setPGMBusOn(int bus, bool on) {
    if (!validBus(bus) || m_busOn[bus - 1] == on) {
        return;
    }
    m_busOn[bus - 1] = on;
    if (m_busButtons[bus - 1]) {
        m_busButtons[bus - 1]->setLit(on);
    }
}

void MeterFader::setHasOnOff(bool has) {
    if (has == m_hasOnOff) {
        return;
    }
    m_hasOnOff = has;
    if (has || m_onOff) {
        onOffButton()->setVisible(has);
        placeParts();
    }
}

bool MeterFader::HasPGMBus(int bus) const {
    return validBus(bus) && m_hasBus[bus - 1];
}

void MeterFader::setHasPGMBus(int bus, bool has) {
    if (!validBus(bus) || m_hasBus[bus - 1] == has) {
        return;
    }
    m_hasBus[bus - 1] = has;
    if (has || m_busButtons[bus - 1]) {
        busButton(bus)->setVisible(has);
        placeParts();
    }
}

void MeterFader::setFaderActive(bool active) {
    if (active == m_faderActive) {
        return;
    }
    m_faderActive = active;
    // A gain worked out from the placeholder level would be wrong: until the Core has sent
    // one, the fader takes no input.
    m_fader->setEnabled(active);
    refreshGainText();
}

void MeterFader::setFaderLevel(float level) {
    if (level == m_faderLevel || std::isnan(level)) {
        return;
    }
    m_faderLevel = level;
    m_fader->setGain(level);
    refreshGainText();
}

void MeterFader::onOperatorChanged(float level) {
    // The level is stored before the events go out: the handlers read FaderLevel. Changed
    // comes first, so the fader is locked against the Core's gains before the drag handler
    // sends the level.
    m_faderLevel = level;
    refreshGainText();
    emit FaderLevelChanged(m_index);
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
    m_fader->setGainRange(minimum, maximum);
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

bool MeterFader::operatorHolding() const {
    return m_fader->isSliderDown();
}

void MeterFader::SetPeakLevels(qint32 peakLeft, qint32 peakRight) {
    m_meter->SetPeakLevels(peakLeft, peakRight);
}

void MeterFader::SetRmsLevels(qint32 rmsLeft, qint32 rmsRight) {
    m_meter->setRmsLevels(rmsLeft, rmsRight);
}

void MeterFader::showNoData() {
    m_meter->showNoData();
}

bool MeterFader::markNoData() {
    return m_meter->markNoData();
}

qint32 MeterFader::BackColor() const {
    return numberFromColor(palette().color(QPalette::Window));
}

void MeterFader::setBackColor(qint32 colorNumber) {
    const QColor color = colorFromNumber(colorNumber);
    if (color == palette().color(QPalette::Window)) {
        return;
    }
    // Every colour group, so that a strip whose fader is inactive takes the new ground too.
    QPalette strip = palette();
    strip.setColor(QPalette::Window, color);
    setPalette(strip);
}

qint32 MeterFader::ForeColor() const {
    return numberFromColor(palette().color(QPalette::WindowText));
}

void MeterFader::setForeColor(qint32 colorNumber) {
    const QColor color = colorFromNumber(colorNumber);
    if (color == palette().color(QPalette::WindowText)) {
        return;
    }
    QPalette strip = palette();
    strip.setColor(QPalette::WindowText, color);
    setPalette(strip);
    // The gain figure has a colour of its own until the panel gives the strip one.
    m_gainColor = color;
    update(m_gainRect);
}

QSize MeterFader::sizeHint() const {
    return {100, 320};
}

void MeterFader::refreshGainText() {
    if (!m_faderActive) {
        m_gainText = QStringLiteral("-- dB");
    } else {
        const QString number = QLocale().toString(double(m_faderLevel), 'f', 1);
        m_gainText =
            (m_faderLevel > 0 ? QStringLiteral("+") : QString()) + number + QStringLiteral(" dB");
    }
    update(m_gainRect);
}

void MeterFader::refreshName() {
    // Measured when next shown: a strip is laid out several times while a panel is built, and
    // one that is never drawn need not measure its name at all.
    m_shownName.reset();
    update(m_nameRect);
}

QString MeterFader::shownName() const {
    if (!m_shownName) {
        // Long names are elided to the strip's width rather than widening the strip.
        const int room = std::max(0, m_nameRect.width() - 2);
        m_shownName = QFontMetrics(m_nameFont).elidedText(m_channelName, Qt::ElideRight, room);
    }
    return *m_shownName;
}

QString MeterFader::shownGain() const {
    return m_hideGainValue ? QString() : m_gainText;
}

void MeterFader::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor ground = palette().color(QPalette::Window);
    painter.fillRect(rect(), ground);
    painter.setPen(ground.lighter(200));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setFont(m_nameFont);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(m_nameRect, Qt::AlignCenter, shownName());
    if (!m_hideGainValue) {
        painter.setFont(m_gainFont);
        painter.setPen(m_gainColor);
        painter.drawText(m_gainRect, Qt::AlignCenter, m_gainText);
    }
}

void MeterFader::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeParts();
}

void MeterFader::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The small print is a share of the strip's font, which follows the application font.
    if (event->type() == QEvent::FontChange) {
        applyFonts();
    }
}

bool MeterFader::event(QEvent* event) {
    // The whole name shows over the name, however short the strip cuts it.
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (m_nameRect.contains(help->pos()) && !m_channelName.isEmpty()) {
            QToolTip::showText(help->globalPos(), m_channelName, this, m_nameRect);
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QWidget::event(event);
}

} // namespace corvane
