#include "panel/ControlProperties.h"

#include "panel/PanelButton.h"
#include "panel/SelfFilledWidgets.h"
#include "support/ColorNumber.h"
#include "support/NumberRules.h"
#include "support/Twips.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVariant>
#include <QWidget>

namespace corvane::ControlProperties {

namespace {

constexpr char kTag[] = "Tag";
constexpr char kLeft[] = "twipsLeft";
constexpr char kTop[] = "twipsTop";
constexpr char kWidth[] = "twipsWidth";
constexpr char kHeight[] = "twipsHeight";
constexpr char kBackColor[] = "BackColor";
constexpr char kForeColor[] = "ForeColor";

double remembered(const QWidget* control, const char* name, int pixels) {
    const QVariant value = control->property(name);
    return value.isValid() ? value.toDouble() : pixelsToTwips(pixels);
}

// What a window manager adds around a window: its size is the outer size, frame and title
// bar included, as the panel's own sizes take it. Nothing for a control, or for a window that
// has no frame (not shown yet, or no window manager).
QSize frameExtent(const QWidget* control) {
    if (!control->isWindow()) {
        return QSize(0, 0);
    }
    const QSize extent = control->frameGeometry().size() - control->size();
    return extent.expandedTo(QSize(0, 0));
}

// Qt reads "[*]" in a window title as the place of its modified mark and drops it; doubled, it
// shows as written.
QString literalWindowTitle(const QString& caption) {
    QString title = caption;
    title.replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
    return title;
}

QString captionOfWindowTitle(const QString& title) {
    QString caption = title;
    caption.replace(QLatin1String("[*][*]"), QLatin1String("[*]"));
    return caption;
}

QString displayText(const QString& caption) {
    QString text = caption;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

} // namespace

void SetTag(QWidget* control, const QString& tag) {
    control->setProperty(kTag, tag);
}

QString Tag(const QWidget* control) {
    return control->property(kTag).toString();
}

void SetLeft(QWidget* control, double twips) {
    control->setProperty(kLeft, twips);
    control->move(twipsToPixels(twips), control->y());
}

void SetTop(QWidget* control, double twips) {
    control->setProperty(kTop, twips);
    control->move(control->x(), twipsToPixels(twips));
}

void SetWidth(QWidget* control, double twips) {
    control->setProperty(kWidth, twips);
    const int outer = std::max(0, twipsToPixels(twips));
    control->resize(std::max(0, outer - frameExtent(control).width()), control->height());
}

void SetHeight(QWidget* control, double twips) {
    control->setProperty(kHeight, twips);
    const int outer = std::max(0, twipsToPixels(twips));
    control->resize(control->width(), std::max(0, outer - frameExtent(control).height()));
}

double Left(const QWidget* control) {
    return remembered(control, kLeft, control->x());
}

double Top(const QWidget* control) {
    return remembered(control, kTop, control->y());
}

double Width(const QWidget* control) {
    return remembered(control, kWidth, control->width());
}

double Height(const QWidget* control) {
    return remembered(control, kHeight, control->height());
}

namespace {

// The background colour on the palette roles that the kind of control paints it with.
void putBackColor(QWidget* control, QPalette& palette, const QColor& color) {
    if (qobject_cast<QPushButton*>(control)) {
        palette.setColor(QPalette::Button, color);
    } else if (qobject_cast<QPlainTextEdit*>(control)) {
        palette.setColor(QPalette::Base, color);
    } else if (qobject_cast<QComboBox*>(control)) {
        palette.setColor(QPalette::Button, color);
        palette.setColor(QPalette::Base, color);
    } else if (auto* label = qobject_cast<PanelLabel*>(control)) {
        palette.setColor(QPalette::Window, color);
        label->setFillsBackground(true);
    } else {
        palette.setColor(QPalette::Window, color);
        control->setAutoFillBackground(true);
    }
}

void putForeColor(QWidget* control, QPalette& palette, const QColor& color) {
    palette.setColor(QPalette::WindowText, color);
    // The window's colour is its own: controls on it inherit its palette, and buttons, which
    // take no text colour from the panel, must keep theirs.
    if (!control->isWindow()) {
        palette.setColor(QPalette::Text, color);
        palette.setColor(QPalette::ButtonText, color);
    }
}

} // namespace

void SetBackColor(QWidget* control, qint32 colorNumber) {
    QPalette palette = control->palette();
    putBackColor(control, palette, colorFromNumber(colorNumber));
    control->setPalette(palette);
    control->setProperty(kBackColor, colorNumber);
}

void SetForeColor(QWidget* control, qint32 colorNumber) {
    QPalette palette = control->palette();
    putForeColor(control, palette, colorFromNumber(colorNumber));
    control->setPalette(palette);
    control->setProperty(kForeColor, colorNumber);
}

void SetColors(QWidget* control, qint32 backColorNumber, qint32 foreColorNumber) {
    // One palette change: each one is passed on to every child of the control (and of the
    // window, every control on it).
    QPalette palette = control->palette();
    putBackColor(control, palette, colorFromNumber(backColorNumber));
    putForeColor(control, palette, colorFromNumber(foreColorNumber));
    control->setPalette(palette);
    control->setProperty(kBackColor, backColorNumber);
    control->setProperty(kForeColor, foreColorNumber);
}

qint32 BackColor(const QWidget* control) {
    const QVariant value = control->property(kBackColor);
    return value.isValid() ? value.toInt()
                           : numberFromColor(control->palette().color(QPalette::Window));
}

qint32 ForeColor(const QWidget* control) {
    const QVariant value = control->property(kForeColor);
    return value.isValid() ? value.toInt()
                           : numberFromColor(control->palette().color(QPalette::WindowText));
}

void SetCaption(QWidget* control, const QString& caption) {
    if (auto* button = qobject_cast<PanelButton*>(control)) {
        button->setCaption(caption);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(displayText(caption));
    } else if (auto* textBox = qobject_cast<QPlainTextEdit*>(control)) {
        textBox->setPlainText(displayText(caption));
    } else {
        control->setWindowTitle(literalWindowTitle(caption));
    }
}

QString Caption(const QWidget* control) {
    if (const auto* button = qobject_cast<const PanelButton*>(control)) {
        return button->caption();
    }
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        return label->text();
    }
    if (const auto* textBox = qobject_cast<const QPlainTextEdit*>(control)) {
        return textBox->toPlainText();
    }
    return captionOfWindowTitle(control->windowTitle());
}

void SetEnabled(QWidget* control, bool enabled) {
    control->setEnabled(enabled);
}

} // namespace corvane::ControlProperties

namespace corvane {

qint32 ColorNumberFromText(const QString& text) {
    return NumberToInt32(text);
}

} // namespace corvane
