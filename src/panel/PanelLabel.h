#pragma once

#include "support/ControlFacts.h"

#include <QColor>
#include <QLabel>

namespace corvane {

// The label of a panel. It paints its own ground colour instead of having the window's
// palette machinery fill it: to Qt it is not an opaque widget, and changing its colour changes
// no palette, so the panel window never has to gather the outlines of thousands of opaque
// controls again before it paints (see ControlProperties::SetBackColor).
class PanelLabel : public QLabel, public HoldsControlFacts {
    Q_OBJECT
public:
    explicit PanelLabel(QWidget* parent = nullptr);

    // An invalid colour paints no ground: the window shows through.
    void setBackColor(const QColor& color);
    QColor backColor() const { return m_backColor; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_backColor;
};

} // namespace corvane
