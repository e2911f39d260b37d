#pragma once

#include <QPoint>
#include <QSize>
#include <QString>

class QLocale;
class QWidget;

namespace corvane {

// A number as exactly four upper-case hexadecimal digits, zero-padded on the left; "Error" for
// numbers that need more digits and for negative numbers.
QString GetHex4(qint32 number);

// Whether the locale writes the number 1.1 with a comma. Without an argument: the system's
// locale.
bool CheckUseComma();
bool CheckUseComma(const QLocale& locale);

// Rewrites every decimal separator of a number text for the locale: "." becomes "," when the
// locale uses a comma, else "," becomes ".".
QString ConvertStringNumToInternat(const QString& text, bool useComma);

// Whether a loaded top-level window (shown or not) has this object name, ignoring case.
bool DoesFormExist(const QString& name);

// Where CenterForm puts a window: centred across the screen and centred within the upper 85
// percent of its height, so it sits a little above the middle. Sizes in pixels.
QPoint CenterFormPosition(QSize screen, QSize window);

// Moves a window to CenterFormPosition on its screen.
void CenterForm(QWidget* window);

} // namespace corvane
