#pragma once

#include "support/ControlFacts.h"

#include <QColor>
#include <QLabel>

namespace corvane {

// The label of a panel. It paints its own colours instead of having the window's palette
// machinery do it: to Qt it is not an opaque widget, and changing its ground colour changes no
// palette, so the panel window never has to gather the outlines of thousands of opaque controls
// again before it paints (see ControlProperties::SetBackColor); and a palette of its own for the
// text colour would weigh some 900 bytes a label. Its text is plain, as the panel builds it.
class PanelLabel : public QLabel, public HoldsControlFacts {
    Q_OBJECT
public:
    explicit PanelLabel(QWidget* parent = nullptr);

    // An invalid ground colour paints no ground (the window shows through); an invalid text
    // colour takes the palette's.
    void setColors(const QColor& back, const QColor& fore);
    void setBackColor(const QColor& color) { setColors(color, m_foreColor); }
    QColor backColor() const { return m_backColor; }
    QColor foreColor() const { return m_foreColor; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_backColor;
    QColor m_foreColor;
};

} // namespace corvane
