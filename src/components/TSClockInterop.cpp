#include "components/TSClockInterop.h"

#include "support/ColorNumber.h"
#include "support/ColorRules.h"
#include "support/TwipsGeometry.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <cmath>
#include <optional>

namespace corvane {

namespace {

// Positions and sizes stay within what a 16-bit twips field can hold, as for every other
// control of a panel; larger figures are taken as a mistake and ignored.
constexpr double kMaxTwips = 32767;

const QStringList kFaceKeys{QStringLiteral("style"), QStringLiteral("face"),
                            QStringLiteral("clockstyle"), QStringLiteral("clockface")};

// The leading number of a text: decimal with optional fraction and exponent, or "&H" hex.
std::optional<double> leadingNumber(const QString& text) {
    const QString t = text.trimmed();
    if (t.startsWith(QLatin1String("&h"), Qt::CaseInsensitive)) {
        bool ok = false;
        const qint64 value = t.mid(2).toLongLong(&ok, 16);
        return (ok && t.size() <= 10) ? std::optional<double>(double(value)) : std::nullopt;
    }
    // Most values are a number and nothing else.
    bool whole = false;
    if (const double value = t.toDouble(&whole); whole) {
        return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
    }
    static const QRegularExpression number(
        QStringLiteral(R"(^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)"));
    const auto match = number.match(t);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const double value = match.captured(0).toDouble();
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

// Colours are read as the panel reads them; a text that names no colour changes nothing.
std::optional<QColor> colorFromText(const QString& text) {
    if (const auto number = ReadColor(text)) {
        return colorFromNumber(*number);
    }
    return std::nullopt;
}

std::optional<bool> boolFromText(const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("true") || t == QLatin1String("yes") || t == QLatin1String("on")) {
        return true;
    }
    if (t == QLatin1String("false") || t == QLatin1String("no") || t == QLatin1String("off")) {
        return false;
    }
    if (const auto number = leadingNumber(t)) {
        return *number != 0;
    }
    return std::nullopt;
}

std::optional<TSClockInterop::Face> faceFromText(const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t.startsWith(QLatin1String("analog")) || t == QLatin1String("1")) {
        return TSClockInterop::Analogue;
    }
    if (t == QLatin1String("digital") || t == QLatin1String("0")) {
        return TSClockInterop::Digital;
    }
    return std::nullopt;
}

std::optional<double> twipsFromText(const QString& text) {
    const auto twips = leadingNumber(text);
    if (!twips || std::abs(*twips) > kMaxTwips) {
        return std::nullopt;
    }
    return twips;
}

} // namespace

TSClockInterop::TSClockInterop(QWidget* parent)
    : QWidget(parent), m_timeSource([] { return QDateTime::currentDateTime(); }) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_secondTimer.setSingleShot(true);
    m_secondTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_secondTimer, &QTimer::timeout, this, [this] {
        update();
        scheduleNextSecond();
    });
}

bool TSClockInterop::IngestXML(const QString& xml) {
    // The settings are the children of the root element, each with all the text within it. All
    // are read before any is taken, so that a text that is not well-formed changes nothing.
    QXmlStreamReader reader(xml);
    reader.setNamespaceProcessing(false); // a prefix is part of the name
    Settings settings;
    int depth = 0;
    int documentTypes = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++depth == 2) {
                settings.append({reader.qualifiedName().trimmed().toString().toLower(), {}});
            }
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::Characters:
            // Text that is nothing but blanks is layout between elements, not a value; character
            // data is taken as it is.
            if (depth >= 2 && (reader.isCDATA() ||
                               (!reader.isWhitespace() && !reader.text().trimmed().isEmpty()))) {
                settings.last().second += reader.text();
            }
            break;
        case QXmlStreamReader::DTD:
            // The stream reader lets a second document type pass; XML allows one at most.
            if (++documentTypes > 1) {
                return false;
            }
            break;
        default:
            break;
        }
    }
    if (reader.hasError()) {
        return false;
    }
    Ingest(settings);
    return true;
}

void TSClockInterop::Ingest(const Settings& settings) {
    // Place and size in twips, placed through the panel's scale like every other control.
    std::optional<double> left;
    std::optional<double> top;
    std::optional<double> width;
    std::optional<double> height;
    for (const auto& [key, value] : std::as_const(settings)) {
        if (key == QLatin1String("left") || key == QLatin1String("top")) {
            // A value that cannot be read keeps the place the clock has.
            if (const auto twips = twipsFromText(value)) {
                (key == QLatin1String("left") ? left : top) = twips;
            }
        } else if (key == QLatin1String("width") || key == QLatin1String("height")) {
            // A size of 0 or less keeps the size the clock has, as for other controls.
            const double twips = twipsFromText(value).value_or(0);
            if (twips > 0) {
                (key == QLatin1String("width") ? width : height) = twips;
            }
        } else if (kFaceKeys.contains(key)) {
            setFace(faceFromText(value).value_or(m_face));
        } else if (key == QLatin1String("backcolor")) {
            setBackColor(colorFromText(value).value_or(m_backColor));
        } else if (key == QLatin1String("forecolor")) {
            setForeColor(colorFromText(value).value_or(m_foreColor));
        } else if (key == QLatin1String("showseconds")) {
            setShowSeconds(boolFromText(value).value_or(m_showSeconds));
        }
    }
    if (left || top || width || height) {
        TwipsGeometry::setRect(this, QRectF(left.value_or(TwipsGeometry::left(this)),
                                            top.value_or(TwipsGeometry::top(this)),
                                            width.value_or(TwipsGeometry::width(this)),
                                            height.value_or(TwipsGeometry::height(this))));
    }
}

void TSClockInterop::setFace(Face face) {
    if (face == m_face) {
        return;
    }
    m_face = face;
    update();
}

void TSClockInterop::setShowSeconds(bool show) {
    if (show == m_showSeconds) {
        return;
    }
    m_showSeconds = show;
    fitDigits();
}

void TSClockInterop::setBackColor(const QColor& color) {
    if (color == m_backColor) {
        return;
    }
    m_backColor = color;
    update();
}

void TSClockInterop::setForeColor(const QColor& color) {
    if (color == m_foreColor) {
        return;
    }
    m_foreColor = color;
    update();
}

qint32 TSClockInterop::BackColor() const {
    return numberFromColor(m_backColor);
}

void TSClockInterop::setBackColor(qint32 colorNumber) {
    setBackColor(colorFromNumber(colorNumber));
}

qint32 TSClockInterop::ForeColor() const {
    return numberFromColor(m_foreColor);
}

void TSClockInterop::setForeColor(qint32 colorNumber) {
    setForeColor(colorFromNumber(colorNumber));
}

void TSClockInterop::setTimeSource(TimeSource source) {
    m_timeSource =
        source ? std::move(source) : TimeSource([] { return QDateTime::currentDateTime(); });
    update();
}

QString TSClockInterop::digitalText(const QTime& time) const {
    return time.toString(m_showSeconds ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
}

QSize TSClockInterop::sizeHint() const {
    return m_face == Analogue ? QSize(120, 120) : QSize(140, 44);
}

void TSClockInterop::scheduleNextSecond() {
    // Wake just after the second turns, so the reading changes with the real second.
    const int intoSecond = QTime::currentTime().msec();
    m_secondTimer.start(1000 - intoSecond + 5);
}

void TSClockInterop::fitDigits() {
    // Measured when next drawn: a panel sets a clock's size and look several times while it is
    // built, and a clock that never shows need not be measured at all.
    m_digitFont.reset();
    update();
}

const QFont& TSClockInterop::digitFont() const {
    if (m_digitFont) {
        return *m_digitFont;
    }
    // Digits of one width, so the reading does not shift as they change: the desktop's
    // monospace family, found by its style hint, at the application font's other settings.
    QFont font(this->font());
    font.setStyleHint(QFont::Monospace);
    font.setFamily(font.defaultFamily());
    font.setBold(true);
    font.setPixelSize(100);
    // Sized to fill the clock, measured on a sample of the widest digits.
    const QString sample = m_showSeconds ? QStringLiteral("00:00:00") : QStringLiteral("00:00");
    const QFontMetricsF probe(font);
    const double byWidth = 100.0 * width() * 0.92 / probe.horizontalAdvance(sample);
    const double byHeight = 100.0 * height() * 0.8 / probe.height();
    font.setPixelSize(std::max(6, int(std::min(byWidth, byHeight))));
    m_digitFont = font;
    return *m_digitFont;
}

void TSClockInterop::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitDigits();
}

void TSClockInterop::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        fitDigits();
    }
}

void TSClockInterop::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    scheduleNextSecond();
}

void TSClockInterop::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    m_secondTimer.stop();
}

void TSClockInterop::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), m_backColor);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QTime time = m_timeSource().time();
    if (m_face == Analogue) {
        paintAnalogue(painter, time);
    } else {
        paintDigital(painter, time);
    }
}

void TSClockInterop::paintDigital(QPainter& painter, const QTime& time) const {
    painter.setFont(digitFont());
    painter.setPen(m_foreColor);
    painter.drawText(rect(), Qt::AlignCenter, digitalText(time));
}

void TSClockInterop::paintAnalogue(QPainter& painter, const QTime& time) const {
    const double side = std::min(width(), height());
    if (side < 8) {
        return;
    }
    painter.translate(width() / 2.0, height() / 2.0);
    painter.scale(side / 200.0, side / 200.0);

    painter.setPen(QPen(m_foreColor.darker(180), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(0, 0), 97, 97);
    for (int i = 0; i < 60; ++i) {
        const bool hour = i % 5 == 0;
        painter.setPen(QPen(m_foreColor, hour ? 4 : 1.5, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(0, -92), QPointF(0, hour ? -78 : -86));
        painter.rotate(6.0);
    }

    auto hand = [&](double degrees, double length, double thickness, const QColor& color) {
        painter.save();
        painter.rotate(degrees);
        painter.setPen(QPen(color, thickness, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(0, 12), QPointF(0, -length));
        painter.restore();
    };
    const double seconds = time.second();
    const double minutes = time.minute() + seconds / 60.0;
    const double hours = (time.hour() % 12) + minutes / 60.0;
    hand(hours * 30.0, 52, 7, m_foreColor);
    hand(minutes * 6.0, 78, 5, m_foreColor);
    if (m_showSeconds) {
        // The second hand must stand out from the others whatever the clock's colours are.
        const QColor accent =
            m_foreColor.hue() >= 0 && (m_foreColor.hue() < 30 || m_foreColor.hue() > 330)
                ? QColor(0xff, 0xd0, 0x20)
                : QColor(0xff, 0x30, 0x24);
        hand(seconds * 6.0, 86, 2, accent);
        painter.setBrush(accent);
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QPointF(0, 0), 5, 5);
    }
}

} // namespace corvane
