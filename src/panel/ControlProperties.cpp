#include "panel/ControlProperties.h"

#include "panel/PanelButton.h"
#include "panel/PanelDropDown.h"
#include "panel/PanelLabel.h"
#include "panel/PanelTextBox.h"
#include "support/ColorNumber.h"
#include "support/ControlFacts.h"
#include "support/NumberRules.h"
#include "support/TwipsGeometry.h"

#include <QLabel>
#include <QVariant>
#include <QWidget>

namespace corvane::ControlProperties {

namespace {

constexpr char kBackColor[] = "BackColor";
constexpr char kForeColor[] = "ForeColor";

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

// Components that paint their own colours declare BackColor and ForeColor as properties of
// their own; the panel's colour numbers go straight to them.
bool declares(const QWidget* control, const char* property) {
    return control->metaObject()->indexOfProperty(property) >= 0;
}

// A component takes the number as its own property; any other control keeps it beside it.
void rememberBackColor(QWidget* control, qint32 colorNumber) {
    if (declares(control, kBackColor)) {
        control->setProperty(kBackColor, colorNumber);
    } else {
        ControlFacts::of(control).backColor = colorNumber;
    }
}

// True when a component took the number: it paints with it and needs no palette.
bool rememberForeColor(QWidget* control, qint32 colorNumber) {
    if (declares(control, kForeColor)) {
        control->setProperty(kForeColor, colorNumber);
        return true;
    }
    ControlFacts::of(control).foreColor = colorNumber;
    return false;
}

QString displayText(const QString& caption) {
    QString text = caption;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

} // namespace

void SetTag(QWidget* control, const QString& tag) {
    ControlFacts::of(control).tag = tag;
}

QString Tag(const QWidget* control) {
    const ControlFacts* facts = ControlFacts::find(control);
    return facts != nullptr ? facts->tag : QString();
}

void SetLeft(QWidget* control, double twips) {
    TwipsGeometry::setLeft(control, twips);
}

void SetTop(QWidget* control, double twips) {
    TwipsGeometry::setTop(control, twips);
}

void SetWidth(QWidget* control, double twips) {
    TwipsGeometry::setWidth(control, twips);
}

void SetHeight(QWidget* control, double twips) {
    TwipsGeometry::setHeight(control, twips);
}

double Left(const QWidget* control) {
    return TwipsGeometry::left(control);
}

double Top(const QWidget* control) {
    return TwipsGeometry::top(control);
}

double Width(const QWidget* control) {
    return TwipsGeometry::width(control);
}

double Height(const QWidget* control) {
    return TwipsGeometry::height(control);
}

namespace {

// Buttons and labels, the controls the Core recolours most, paint their own ground, and so do
// the components: a palette change of any control makes the window gather the outlines of all
// its opaque controls again before it next paints, which on a panel of thousands of controls
// costs far more than the change itself. False for a control whose palette carries its colour.
//
// Labels, text boxes and lists paint both of their colours: besides that, a palette of their
// own would weigh some 900 bytes apiece. A null colour leaves that one as it is.
bool paintsOwnColors(QWidget* control, const QColor* back, const QColor* fore) {
    const auto give = [&](auto* painter) {
        painter->setColors(back != nullptr ? *back : painter->backColor(),
                           fore != nullptr ? *fore : painter->foreColor());
        return true;
    };
    if (auto* box = qobject_cast<PanelTextBox*>(control)) {
        return give(box);
    }
    if (auto* list = qobject_cast<PanelDropDown*>(control)) {
        return give(list);
    }
    if (auto* label = qobject_cast<PanelLabel*>(control)) {
        return give(label);
    }
    return false;
}

bool paintsOwnBackColor(QWidget* control, const QColor& color) {
    if (paintsOwnColors(control, &color, nullptr)) {
        return true;
    }
    if (auto* button = qobject_cast<PanelButton*>(control)) {
        button->setBackColor(color);
        return true;
    }
    return declares(control, kBackColor); // the component took the number as its BackColor
}

// The background colour of a control that Qt fills for it.
void putBackColor(QWidget* control, QPalette& palette, const QColor& color) {
    palette.setColor(QPalette::Window, color);
    control->setAutoFillBackground(true);
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
    rememberBackColor(control, colorNumber);
    const QColor color = colorFromNumber(colorNumber);
    if (paintsOwnBackColor(control, color)) {
        return;
    }
    QPalette palette = control->palette();
    putBackColor(control, palette, color);
    control->setPalette(palette);
}

void SetForeColor(QWidget* control, qint32 colorNumber) {
    if (rememberForeColor(control, colorNumber)) {
        return;
    }
    const QColor color = colorFromNumber(colorNumber);
    if (paintsOwnColors(control, nullptr, &color)) {
        return;
    }
    QPalette palette = control->palette();
    putForeColor(control, palette, color);
    control->setPalette(palette);
}

void SetColors(QWidget* control, qint32 backColorNumber, qint32 foreColorNumber) {
    // At most one palette change: each one is passed on to every child of the control (and of
    // the window, every control on it).
    rememberBackColor(control, backColorNumber);
    const bool foreTaken = rememberForeColor(control, foreColorNumber);
    QPalette palette = control->palette();
    bool paletteChanged = false;
    const QColor back = colorFromNumber(backColorNumber);
    if (!paintsOwnBackColor(control, back)) {
        putBackColor(control, palette, back);
        paletteChanged = true;
    }
    const QColor fore = colorFromNumber(foreColorNumber);
    if (!foreTaken && !paintsOwnColors(control, nullptr, &fore)) {
        putForeColor(control, palette, fore);
        paletteChanged = true;
    }
    if (paletteChanged) {
        control->setPalette(palette);
    }
}

qint32 BackColor(const QWidget* control) {
    if (declares(control, kBackColor)) {
        return control->property(kBackColor).toInt();
    }
    const ControlFacts* facts = ControlFacts::find(control);
    return facts != nullptr && facts->backColor
               ? *facts->backColor
               : numberFromColor(control->palette().color(QPalette::Window));
}

qint32 ForeColor(const QWidget* control) {
    if (declares(control, kForeColor)) {
        return control->property(kForeColor).toInt();
    }
    const ControlFacts* facts = ControlFacts::find(control);
    return facts != nullptr && facts->foreColor
               ? *facts->foreColor
               : numberFromColor(control->palette().color(QPalette::WindowText));
}

void SetCaption(QWidget* control, const QString& caption) {
    if (auto* button = qobject_cast<PanelButton*>(control)) {
        button->setCaption(caption);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(displayText(caption));
    } else if (auto* textBox = qobject_cast<PanelTextBox*>(control)) {
        textBox->setText(displayText(caption));
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
    if (const auto* textBox = qobject_cast<const PanelTextBox*>(control)) {
        return textBox->text();
    }
    return captionOfWindowTitle(control->windowTitle());
}

void SetEnabled(QWidget* control, bool enabled) {
    control->setEnabled(enabled);
}

} // namespace corvane::ControlProperties
