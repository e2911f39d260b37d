#pragma once

#include "support/ControlFacts.h"

#include <QColor>
#include <QHash>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>

namespace corvane {

// The push button of a panel. It reports presses and releases of any mouse button (the Core
// treats a right click like a left one), shows its caption literally (an "&" is an ampersand,
// never an access key; line breaks stay line breaks) and, like a graphical button, shows an up
// picture normally and a down picture while held down, both scaled to the button.
//
// Every reported press has its release reported exactly once. When the release cannot reach
// the button any more (the Core disabled it on its push, it or its window was hidden, a modal
// box or another window took the mouse), it is reported at that moment instead.
class PanelButton : public QPushButton, public HoldsControlFacts {
    Q_OBJECT
public:
    explicit PanelButton(QWidget* parent = nullptr);

    void setCaption(const QString& caption);
    QString caption() const { return m_caption; }

    // The ground colour, painted through the style without touching the palette (see
    // PanelLabel); an invalid colour leaves the style's own.
    void setBackColor(const QColor& color);
    QColor backColor() const { return m_backColor; }

    void setPicture(const QPixmap& picture);
    void setDownPicture(const QPixmap& picture);
    QPixmap picture() const { return m_picture; }
    QPixmap downPicture() const { return m_downPicture; }
    // The picture the button shows now: the down picture while held down, when it has one.
    QPixmap shownPicture() const;

    // Reports the release of every press still held, once each, and shows the button up. The
    // operator's later release of that press then reports nothing.
    void releaseHold();

signals:
    void pressedByOperator();
    void releasedByOperator();

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int m_heldPresses = 0; // reported presses whose release is not reported yet
    // The palette to paint with in the ground colour: the button's own with that colour put in,
    // made once per colour and kept. The style caches what it draws under the palette's
    // identity; a palette made afresh for every paint was a new name in that cache every time,
    // and a panel whose buttons the Core switched (or that flashed) grew by some 270 bytes a
    // change, without end.
    const QPalette& paletteFor(const QColor& color);

    QString m_caption;
    QColor m_backColor;
    QHash<QRgb, QPalette> m_palettes;
    QPixmap m_picture;
    QPixmap m_downPicture;
};

} // namespace corvane
