#pragma once

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
class PanelButton : public QPushButton {
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

signals:
    void pressedByOperator();
    void releasedByOperator();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
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
