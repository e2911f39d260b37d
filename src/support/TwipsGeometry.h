#pragma once

#include <QRectF>

class QWidget;

namespace corvane {

// The place and size of a panel's widget in twips. Each widget remembers the twips last set on
// it and is placed from them through its window's mapping (PanelMapping), so that reading them
// back returns what the panel set at any scale, and a new scale places every widget anew.
//
// A window's width and height are its outer size, frame and title bar included, where a window
// manager gives it a frame; without one they are the size of its inside. Its left and top are
// its place on the desktop, never scaled. A full-screen window only remembers what is set.
namespace TwipsGeometry {

void setLeft(QWidget* widget, double twips);
void setTop(QWidget* widget, double twips);
void setWidth(QWidget* widget, double twips);
void setHeight(QWidget* widget, double twips);
// All four at once, with one move.
void setRect(QWidget* widget, const QRectF& twips);

// What was set; for what never was, the widget's pixels read back through the mapping.
double left(const QWidget* widget);
double top(const QWidget* widget);
double width(const QWidget* widget);
double height(const QWidget* widget);
// Whether a width and a height have been set on the widget.
bool hasSize(const QWidget* widget);

// Places the widget again from its twips, after its window's mapping changed. A widget that
// holds no twips is left where it is.
void reapply(QWidget* widget);

} // namespace TwipsGeometry

} // namespace corvane
