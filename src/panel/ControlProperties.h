#pragma once

#include <QFont>
#include <QString>

class QWidget;

namespace corvane {

// The properties the panel sets on its visible controls by name, whatever kind of widget the
// control is. Positions and sizes are twips: each control remembers the twips last set on it
// and is placed from them at the panel's scale (TwipsGeometry), so that reading them back
// returns what the panel set, whatever the screen's dpi and the panel's scale.
namespace ControlProperties {

void SetTag(QWidget* control, const QString& tag);
QString Tag(const QWidget* control);

// A window's width and height are its outer size, frame and title bar included, where a window
// manager gives it a frame; without one they are the size of its inside.
void SetLeft(QWidget* control, double twips);
void SetTop(QWidget* control, double twips);
void SetWidth(QWidget* control, double twips);
void SetHeight(QWidget* control, double twips);
double Left(const QWidget* control);
double Top(const QWidget* control);
double Width(const QWidget* control);
double Height(const QWidget* control);

// Colour numbers (0x00BBGGRR) on the roles that each kind of control paints with; buttons,
// labels and components that paint their own colours take them as their own.
void SetBackColor(QWidget* control, qint32 colorNumber);
void SetForeColor(QWidget* control, qint32 colorNumber);
// Both at once: the same result as SetBackColor then SetForeColor, with one palette change.
void SetColors(QWidget* control, qint32 backColorNumber, qint32 foreColorNumber);
qint32 BackColor(const QWidget* control);
qint32 ForeColor(const QWidget* control);

// A button's or label's caption, shown literally; a text box's text; a window's title, shown
// as written ("[*]" included). Line breaks ("\r\n" or "\n") show as line breaks.
void SetCaption(QWidget* control, const QString& caption);
QString Caption(const QWidget* control);

void SetEnabled(QWidget* control, bool enabled);

} // namespace ControlProperties

} // namespace corvane
